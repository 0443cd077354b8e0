// The export/import wizard's rules: page order and Next's checks, the drive
// list and its captions, the sub-folder, the progress arithmetic and the
// file errors a failing disk raises. The windows around them are tested
// under Wine (wizard_test).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "settings/WizardRules.h"

namespace glimra {
namespace {

TEST(WizardRules, NextAndBackWalkBothPathsAndNextRefusesMissingChoices) {
  // The export path: 1 -> 2 -> fraThree -> fraFour -> copy.
  EXPECT_EQ(DecideNext(WizardPage::One, kModeExport, "", "").to, WizardPage::Two);
  EXPECT_EQ(DecideNext(WizardPage::Two, kModeExport, "a:\\", "").to, WizardPage::Three);
  EXPECT_EQ(DecideNext(WizardPage::Three, kModeExport, "a:\\", "").to, WizardPage::Four);
  const NextStep copy = DecideNext(WizardPage::Four, kModeExport, "a:\\", "");
  EXPECT_TRUE(copy.startCopy);
  EXPECT_EQ(copy.to, WizardPage::Four);
  // The import path: 1 -> fraImport -> fraThree.
  EXPECT_EQ(DecideNext(WizardPage::One, kModeImport, "", "").to, WizardPage::Import);
  EXPECT_EQ(DecideNext(WizardPage::Import, kModeImport, "", "c:\\b\\").to, WizardPage::Three);
  for (WizardPage page : {WizardPage::One, WizardPage::Two, WizardPage::Import, WizardPage::Three})
    EXPECT_FALSE(DecideNext(page, kModeImport, "x", "y").startCopy);

  struct Refusal {
    WizardPage page;
    WizardMode mode;
    const char* message;
    int style;
  } refusals[] = {
      {WizardPage::One, kModeNone, kChooseModeMessage, 16},
      {WizardPage::Two, kModeExport, kSelectDriveMessage, 64},
      {WizardPage::Import, kModeImport, kLocateKeyMessage, 16},
  };
  for (const Refusal& r : refusals) {
    const NextStep step = DecideNext(r.page, r.mode, "", "");
    EXPECT_EQ(step.to, r.page);
    EXPECT_EQ(step.message, r.message);
    EXPECT_EQ(step.style, r.style);
    EXPECT_FALSE(step.startCopy);
  }
  EXPECT_EQ(std::string(kSelectDriveMessage),
            "Please ~B~CRselect a drive letter~B~CN to Export your Fade Scheme settings to.");
  EXPECT_TRUE(DecideNext(WizardPage::Finish, kModeExport, "a", "b").message.empty());
  EXPECT_FALSE(DecideNext(WizardPage::Finish, kModeExport, "a", "b").startCopy);

  // Back retraces the path taken.
  EXPECT_EQ(DecideBack(WizardPage::Three, kModeExport), WizardPage::Two);
  EXPECT_EQ(DecideBack(WizardPage::Three, kModeImport), WizardPage::Import);
  EXPECT_EQ(DecideBack(WizardPage::Four, kModeImport), WizardPage::Three);
  EXPECT_EQ(DecideBack(WizardPage::Two, kModeExport), WizardPage::One);
  EXPECT_EQ(DecideBack(WizardPage::Finish, kModeExport), WizardPage::Finish);
}

TEST(WizardRules, DriveScanOffersRemovableAndFixedDrivesUpToSeven) {
  // Floppy A:, hard disk C:, CD-ROM D:: two drives.
  std::vector<std::string> asked;
  const std::map<char, std::int16_t> machine{{'A', 2}, {'C', 3}, {'D', 5}};
  const auto typeOf = [&](const std::string& root) -> std::int16_t {
    asked.push_back(root);
    const auto found = machine.find(root[0]);
    return found == machine.end() ? 1 : found->second;
  };
  EXPECT_EQ(ScanDrives(typeOf),
            (std::vector<std::string>{"( A:\\ ) Floppy Drive (recommended)", "( C:\\ ) Hard Disk (not recommended)"}));
  ASSERT_EQ(asked.size(), 26u);
  EXPECT_EQ(asked.front(), "A:\\");
  EXPECT_EQ(asked.back(), "Z:\\");

  // Every letter usable: the scan stops at the seventh.
  asked.clear();
  const auto all = ScanDrives([&](const std::string& root) -> std::int16_t {
    asked.push_back(root);
    return root[0] % 2 ? 2 : 3;
  });
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(asked.size(), 7u);
  EXPECT_EQ(all[1], "( B:\\ ) Floppy Drive (recommended)");
  EXPECT_EQ(all[3], "( D:\\ ) Hard Disk (not recommended)");
  EXPECT_EQ(all[4], "( E:\\ ) Removable Drive");
  EXPECT_TRUE(ScanDrives([](const std::string&) -> std::int16_t { return 5; }).empty());
}

TEST(WizardRules, IsFloppyNamesDrivesByRootThenByType) {
  EXPECT_EQ(IsFloppy("A:\\", 3), "Floppy Drive (recommended)");
  EXPECT_EQ(IsFloppy("B:\\", 0), "Floppy Drive (recommended)");
  EXPECT_EQ(IsFloppy("C:\\", 2), "Hard Disk (not recommended)");
  EXPECT_EQ(IsFloppy("E:\\", 2), "Removable Drive");
  EXPECT_EQ(IsFloppy("F:\\", 3), "Hard Disk (not recommended)");
  EXPECT_EQ(IsFloppy("G:\\", 5), "");
}

TEST(WizardRules, CaptionsGiveRootAndKind) {
  for (const char* root : {"A:\\", "C:\\", "E:\\"}) {
    for (std::int16_t type : {kDriveRemovable, kDriveFixed}) {
      const std::string caption = DriveCaption(root, type);
      std::string lower = root;
      lower[0] = static_cast<char>(lower[0] + 'a' - 'A');
      EXPECT_EQ(TrimDriveLetter(caption), lower) << caption;
    }
  }
  EXPECT_EQ(GetDriveFormat("( A:\\ ) Floppy Drive (recommended)"), " Floppy Drive ");
  EXPECT_EQ(GetDriveFormat("( C:\\ ) Hard Disk (not recommended)"), " Hard Disk ");
  EXPECT_EQ(GetDriveFormat("( E:\\ ) Removable Drive"), " Removable Drive");
  EXPECT_EQ(GetDriveFormat("no brackets"), "no brackets");
  EXPECT_EQ(TrimDriveLetter("ab"), "");
}

TEST(WizardRules, SubFolderDropsOneLeadingSeparatorAndEndsWithOne) {
  EXPECT_EQ(SubFolderFromAnswer("\\My Schemes"), "My Schemes\\");
  EXPECT_EQ(SubFolderFromAnswer("Glimra Schemes"), "Glimra Schemes\\");
  EXPECT_EQ(SubFolderFromAnswer("Backups\\2024\\"), "Backups\\2024\\");
  EXPECT_EQ(SubFolderFromAnswer("\\\\twice"), "\\twice\\");
  EXPECT_EQ(SubFolderFromAnswer(""), std::nullopt);
  EXPECT_EQ(SubFolderFromAnswer("\\"), "\\");
}

TEST(WizardRules, ReadyPageAdvisesByDriveKind) {
  const std::string target = ExportTargetFolder("  a:\\My Schemes\\ ");
  EXPECT_EQ(target, "a:\\my schemes\\");
  EXPECT_EQ(DriveOfFolder(target), "A:\\");
  EXPECT_EQ(ExportAdvice("Floppy Drive", "A:\\"),
            "Please insert a floppy diskette into the Floppy Drive \"A:\\\" and click \"Next\" to continue.");
  EXPECT_EQ(ExportAdvice("Removable Drive", "E:\\"),
            "Please insert the appropriate storage media (i.e. - Disk, Tape, etc.) into Removable Drive \"E:\\\" and "
            "click \"Next\" to continue.");
  EXPECT_NE(ExportAdvice("Hard Disk", "C:\\").find("It is not recommended"), std::string::npos);
  EXPECT_EQ(ExportAdvice("", "G:\\"), "");
  EXPECT_EQ(SchemeNameOfFile("My Fade.fde"), "My Fade");
  EXPECT_EQ(SchemeNameOfFile(".fde"), "");
}

TEST(WizardRules, LeftOutNamesKeepTheirTildes) {
  // "~" starts a code of the message box's markup: a name's own is doubled.
  EXPECT_NE(LeftOutMessage(kModeImport, {"~Jane", "B"}).find("~B~~Jane~NB~B"), std::string::npos);
  EXPECT_NE(LeftOutMessage(kModeExport, {"a~b"}).find("~Ba~~b~B"), std::string::npos);
}

TEST(WizardRules, ProgressCountsToTotalAndSurvivesAnEmptyList) {
  std::int16_t done = 0;
  std::vector<int> values;
  for (int i = 0; i < 5; ++i) {
    done = NextDone(done, 3);
    values.push_back(ProgressValue(done, 3));
  }
  EXPECT_EQ(values, (std::vector<int>{33, 66, 100, 100, 100}));
  EXPECT_EQ(NextDone(0, 0), 0);
  EXPECT_EQ(ProgressValue(0, 0), 0);
  EXPECT_EQ(ProgressValue(NextDone(0, 7), 7), 14);
  EXPECT_EQ(CanceledCaption(kModeExport), "Export Canceled");
  EXPECT_EQ(CanceledCaption(kModeImport), "Import Canceled");
}

TEST(WizardRules, SystemErrorsBecomeTheFileErrorsTheTableKnows) {
  const std::map<unsigned long, long> expected{{2, 53},  {3, 76},    {5, 75},   {19, 70}, {21, 71},  {23, 57},
                                               {32, 70}, {39, 61},   {112, 61}, {80, 58}, {183, 58}, {123, 52},
                                               {31, 57}, {1117, 57}, {15, 68},  {0, 75},  {9999, 75}};
  for (const auto& [system, number] : expected) EXPECT_EQ(FileErrorNumber(system), number) << system;
}

}  // namespace
}  // namespace glimra
