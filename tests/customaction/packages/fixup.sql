UPDATE `Component` SET `Condition` = 'OFFPROP' WHERE `Component` = 'SwitchOff'
UPDATE `Component` SET `Condition` = 'OFFPROP' WHERE `Component` = 'StaysOff'
UPDATE `Component` SET `Condition` = 'ONPROP' WHERE `Component` = 'SwitchOn'
UPDATE `Component` SET `Condition` = 'ONPROP', `Attributes` = 1 WHERE `Component` = 'SourceOnly'
UPDATE `Component` SET `Condition` = 'ONPROP', `Attributes` = 2 WHERE `Component` = 'OptionalBoth'
UPDATE `Component` SET `Condition` = 'ONPROP', `Attributes` = 2 WHERE `Component` = 'OptionalSource'
UPDATE `Component` SET `Condition` = 'ONPROP' WHERE `Component` = 'LeftOut'
UPDATE `Component` SET `Condition` = '((' WHERE `Component` = 'Undecidable'
UPDATE `CustomAction` SET `Type` = 1
UPDATE `InstallExecuteSequence` SET `Sequence` = 1010 WHERE `Action` = 'PrepareScenario'
UPDATE `InstallExecuteSequence` SET `Sequence` = 1020 WHERE `Action` = 'Fix95Components'
UPDATE `InstallExecuteSequence` SET `Sequence` = 1030 WHERE `Action` = 'RecordOutcome'
UPDATE `InstallExecuteSequence` SET `Condition` = 'NOT Installed' WHERE `Sequence` >= 1010 AND `Sequence` <= 1030
