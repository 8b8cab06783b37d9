#include "tools/archive_json/cvlinst_command.h"

#include <fstream>
#include <iterator>

#include "tools/archive_json/archive_json.h"
#include "uninstaller/store/archive_error.h"

namespace cvl {
namespace {

constexpr const char* kUsage = "usage: cvlinst dump FILE | cvlinst pack JSON OUT";

bool readFile(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

int badInput(std::ostream& err, const std::string& path, const std::string& what) {
  err << path << ": " << what << "\n";
  return kCvlinstBadInput;
}

int dump(const std::string& path, std::ostream& out, std::ostream& err) {
  std::vector<uint8_t> bytes;
  if (!readFile(path, bytes)) return badInput(err, path, "cannot read the file");
  try {
    const Dump result = dumpArchive(bytes);
    out << result.document.dump(2) << "\n";
    for (const std::string& note : result.notes) err << path << ": note: " << note << "\n";
    return 0;
  } catch (const ArchiveError& error) {
    return badInput(err, path, error.what());
  }
}

int pack(const std::string& jsonPath, const std::string& outPath, std::ostream& err) {
  std::vector<uint8_t> text;
  if (!readFile(jsonPath, text)) return badInput(err, jsonPath, "cannot read the file");
  const Json document = Json::parse(text.begin(), text.end(), nullptr, false);
  if (document.is_discarded()) return badInput(err, jsonPath, "not valid JSON");
  std::vector<uint8_t> bytes;
  const std::string problem = packJson(document, bytes);
  if (!problem.empty()) return badInput(err, jsonPath, problem);
  if (!writeFile(outPath, bytes)) return badInput(err, outPath, "cannot write the file");
  return 0;
}

}  // namespace

int runCvlinst(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  try {
    if (arguments.size() == 2 && arguments[0] == "dump") return dump(arguments[1], out, err);
    if (arguments.size() == 3 && arguments[0] == "pack") return pack(arguments[1], arguments[2], err);
    err << kUsage << "\n";
    return kCvlinstBadInput;
  } catch (const std::exception& error) {
    // Nothing above should throw; if something does, it still ends in one line.
    err << "cvlinst: " << error.what() << "\n";
    return kCvlinstBadInput;
  }
}

}  // namespace cvl
