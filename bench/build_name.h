#pragma once
// Which build a benchmark ran on, printed first so that figures from a
// 32-bit and a 64-bit build, or from Wine and Windows, are never mixed up.
namespace cvl::bench {

void printBuild();

}  // namespace cvl::bench
