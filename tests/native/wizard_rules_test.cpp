// The export/import wizard's rules: page order and Next's checks, the drive
// list and its captions, the sub-folder, the progress arithmetic, the file
// errors a failing disk raises, and the copy driven over a scripted disk and
// a scripted member. The windows around them are tested under Wine
// (wizard_test).
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "runtime/ErrorReporting.h"
#include "settings/SchemeFile.h"
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

TEST(WizardRules, SubFolderPartsAreCheckedAsSchemeNamesAre) {
  const auto usable = [](const char* answer) { return SubFolderUsable(*SubFolderFromAnswer(answer)); };
  for (const char* fine : {"Glimra Schemes", "\\My Schemes", "Backups\\2024\\", "May 5th"})
    EXPECT_TRUE(usable(fine)) << fine;
  // A drive, wildcards, a device, dots only, an empty part, no part at all.
  for (const char* refused : {"C:\\Backups", "May?", "a*b", "Backups\\NUL", "COM1", "..", "Backups\\\\2024",
                              "\\\\twice", "\\", "a/b", "Tab\there"})
    EXPECT_FALSE(usable(refused)) << refused;
  EXPECT_FALSE(SubFolderUsable(""));
  const std::string message = UnusableSubFolderMessage("C:~Backups");
  EXPECT_NE(message.find("C:~~Backups"), std::string::npos) << message;

  // Each missing level is made, outermost first.
  std::vector<std::string> asked;
  const auto made = FoldersToMake("a:\\", "Backups\\2024\\May\\", [&](const std::string& folder) {
    asked.push_back(folder);
    return folder == "a:\\Backups\\";
  });
  EXPECT_EQ(made, (std::vector<std::string>{"a:\\Backups\\2024\\", "a:\\Backups\\2024\\May\\"}));
  EXPECT_EQ(asked.size(), 3u);
}

TEST(WizardRules, ASecondClickWithinTheDoubleClickTimeAndRectangleIsNoNewStep) {
  const ClickStamp first{1000, 200, 300};
  EXPECT_FALSE(IsSecondClickOfDouble(std::nullopt, first, 500, 4, 4));
  EXPECT_TRUE(IsSecondClickOfDouble(first, {1400, 201, 299}, 500, 4, 4));
  EXPECT_TRUE(IsSecondClickOfDouble(first, {1500, 202, 302}, 500, 4, 4));
  EXPECT_FALSE(IsSecondClickOfDouble(first, {1501, 200, 300}, 500, 4, 4));  // too late
  EXPECT_FALSE(IsSecondClickOfDouble(first, {1100, 203, 300}, 500, 4, 4));  // too far to the side
  EXPECT_FALSE(IsSecondClickOfDouble(first, {1100, 200, 297}, 500, 4, 4));  // too far up
  // The message clock wraps around after 49.7 days.
  EXPECT_TRUE(IsSecondClickOfDouble(ClickStamp{0xFFFFFF00u, 5, 5}, {0x40, 5, 5}, 500, 4, 4));
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

TEST(WizardRules, LeftOutMessageListsTwentyNamesAndCountsTheRest) {
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back("Scheme~" + std::to_string(i));
  for (WizardMode mode : {kModeExport, kModeImport}) {
    const std::string message = LeftOutMessage(mode, names);
    EXPECT_NE(message.find("~BScheme~~0~NScheme~~1~N"), std::string::npos) << message;
    EXPECT_NE(message.find("~NScheme~~19~B~Nand 280 more"), std::string::npos) << message;
    EXPECT_EQ(message.find("Scheme~~20"), std::string::npos) << message;
  }
  names.resize(20);
  EXPECT_EQ(LeftOutMessage(kModeImport, names).find("more"), std::string::npos);
  EXPECT_NE(LeftOutMessage(kModeImport, names).find("~NScheme~~19~B"), std::string::npos);
}

TEST(WizardRules, SuperscriptPortNumbersAreDeviceNames) {
  for (const char* device : {"COM\xB9", "com\xB2", "LPT\xB3", "lpt\xB9.fde", "COM\xB2 .txt"})
    EXPECT_EQ(CheckSchemeName(device), SchemeNameCheck::DeviceName) << device;
  for (const char* fine : {"COM\xB9x", "COM\xBC", "COMET\xB9"})
    EXPECT_EQ(CheckSchemeName(fine), SchemeNameCheck::Ok) << fine;
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

// Every row of the file-error table, for a backup and for a restore.
TEST(WizardRules, FileErrorTableForBackupAndRestore) {
  const std::string filePath =
      "~B~CRFile/Path access error!~B~CN~N ~NThe diskette in the disk drive is ~Bcorrupted~B.~N ~NPlease try another "
      "diskette.";
  const std::string permission =
      "~B~CRPermission Denied!~B~CN~N ~NThe diskette in the disk drive is ~Bwrite-protected~B.";
  const std::string diskFull =
      "~B~CRDisk is full!~B~CN~N ~NPlease free up some space on this disk and try this operation again.";
  const std::string backupNoDisk = "~B~CRNo disk present!~B~CN~N ~NPlease insert a disk now and click ~BRetry~B";
  const std::string restoreNoDisk =
      "There is ~B~CRno disk present~B~CN in the disk drive!~N ~NPlease insert a disk now and click ~BRetry~B";
  using A = FileErrorAction;
  const struct Row {
    long number;
    A backup;
    std::string backupMessage;
    int backupStyle;
    A restore;
    std::string restoreMessage;
    int restoreStyle;
  } rows[] = {
      {5, A::Skip, "", 0, A::Skip, "", 0},
      {53, A::Skip, "", 0, A::Skip, "", 0},
      {76, A::Skip, "", 0, A::Skip, "", 0},  // path not found
      {58, A::GeneralHandler, "", 0, A::Skip, "", 0},
      {52, A::GeneralHandler, "", 0, A::AskAbortRetryIgnore, filePath, 18},
      {57, A::AskAbortRetryIgnore, filePath, 18, A::AskAbortRetryIgnore, filePath, 18},
      {75, A::AskAbortRetryIgnore, filePath, 18, A::AskAbortRetryIgnore, filePath, 18},
      {61, A::ShowThenEnd, diskFull, 16, A::GeneralHandler, "", 0},  // disk full
      {70, A::AskAbortRetryIgnore, permission, 18, A::AskAbortRetryIgnore, permission, 18},
      {71, A::AskRetryCancel, backupNoDisk, 21, A::AskRetryCancel, restoreNoDisk, 21},  // no disk
      {6, A::GeneralHandler, "", 0, A::GeneralHandler, "", 0},
      {68, A::GeneralHandler, "", 0, A::GeneralHandler, "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.number);
    const FileErrorResponse backup = DecideFileError(CopyKind::Backup, row.number);
    EXPECT_EQ(backup.action, row.backup);
    EXPECT_EQ(backup.message, row.backupMessage);
    EXPECT_EQ(backup.style, row.backupStyle);
    const FileErrorResponse restore = DecideFileError(CopyKind::Restore, row.number);
    EXPECT_EQ(restore.action, row.restore);
    EXPECT_EQ(restore.message, row.restoreMessage);
    EXPECT_EQ(restore.style, row.restoreStyle);
  }
  // Abort ends the copy, Retry runs the statement again, Ignore goes on; no answer is Abort.
  EXPECT_EQ(AfterAbortRetryIgnore(3), AfterFailure::EndCopy);
  EXPECT_EQ(AfterAbortRetryIgnore(4), AfterFailure::Retry);
  EXPECT_EQ(AfterAbortRetryIgnore(5), AfterFailure::GoOn);
  EXPECT_EQ(AfterAbortRetryIgnore(0), AfterFailure::EndCopy);
}

// ---- the copy ----

// A disk and a registry the copy works on: files by path, run-time errors
// scripted per operation ("folder", "remove", "marker", "list" or a scheme's
// name), and every operation in the order it ran.
class ScriptedDisk {
 public:
  std::map<std::string, std::string> files;
  std::map<std::string, std::string> imported;  // scheme name -> its file's text
  std::vector<std::string> calls;

  void Fail(const std::string& what, std::initializer_list<long> numbers) {
    script_[what].insert(script_[what].end(), numbers);
  }
  bool Holds(const std::string& path) const { return files.count(path) != 0; }
  // The folder loses its files: a disk taken out or a folder removed.
  void Vanish() {
    files.clear();
    gone_ = true;
  }

  WizardFileOperations Operations() {
    WizardFileOperations ops;
    ops.createFolder = [this](const std::string& folder) { Step("folder " + folder); };
    ops.exportScheme = [this](const std::string& name, const std::string& folder) {
      Step(name);
      files[folder + name + ".fde"] = "scheme " + name;
    };
    ops.writeMarker = [this](const std::string& path, const std::string& text) {
      Step("marker");
      files[path] = text;
    };
    ops.removeMarker = [this](const std::string& path) {
      Step("remove");
      files.erase(path);
    };
    ops.listSchemeFiles = [this](const std::string& folder) {
      Step("list");
      if (gone_) RaiseError(kErrPathNotFound);
      std::vector<std::string> names;
      for (const auto& [path, text] : files)
        if (path.rfind(folder, 0) == 0 && path.size() > 4 && path.compare(path.size() - 4, 4, ".fde") == 0)
          names.push_back(path.substr(folder.size()));
      return names;
    };
    ops.importScheme = [this](const std::string& folder, const std::string& name) {
      Step(name);
      const auto file = files.find(folder + name + ".fde");
      if (file == files.end()) RaiseError(kErrFileNotFound);
      if (file->second == "refused") return false;
      imported[name] = file->second;
      return true;
    };
    return ops;
  }

 private:
  void Step(const std::string& what) {
    calls.push_back(what);
    std::deque<long>& queue = script_[what];
    if (queue.empty()) return;
    const long number = queue.front();
    queue.pop_front();
    RaiseError(number);
  }

  std::map<std::string, std::deque<long>> script_;
  bool gone_ = false;
};

// The member at the progress page: answers messages from a script (none
// left: the first button), presses Cancel once the bar has moved
// `cancelAfterMoves` times, and remembers what it was shown.
class ScriptedMember {
 public:
  std::deque<std::int16_t> answers;
  int cancelAfterMoves = -1;
  std::vector<std::pair<std::string, int>> asked;
  std::vector<std::string> captions;

  CopyMember Member() {
    CopyMember member;
    member.ask = [this](const std::string& message, int style) -> std::int16_t {
      asked.emplace_back(message, style);
      if (answers.empty()) return 1;
      const std::int16_t answer = answers.front();
      answers.pop_front();
      return answer;
    };
    member.showCaption = [this](const std::string& caption) { captions.push_back(caption); };
    member.moveBar = [this] { ++moves_; };
    member.pause = [] {};
    member.cancelRequested = [this] { return cancelAfterMoves >= 0 && moves_ >= cancelAfterMoves; };
    return member;
  }

 private:
  int moves_ = 0;
};

constexpr std::int16_t kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5;
const std::string kTarget = "a:\\backup\\";
const std::string kMarker = kTarget + "importfde.key";

class WizardCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentErrorEnvironment();
    CurrentErrorEnvironment() = ErrorEnvironment{[this](const ErrorReport& report) -> std::int16_t {
                                                   reports_.push_back(report.procedure + " " + report.number);
                                                   return kAnswerIgnore;
                                                 },
                                                 [] {}, [] { throw EndProgramNow{}; }};
  }
  void TearDown() override { CurrentErrorEnvironment() = saved_; }

  CopyEnd Backup(const std::vector<std::string>& schemes) {
    return RunBackup({schemes, kTarget, {}}, disk.Operations(), member.Member());
  }
  CopyEnd Restore(const std::vector<std::string>& listed) {
    return RunRestore({kTarget, listed}, disk.Operations(), member.Member());
  }
  void PutSchemeFiles(std::initializer_list<const char*> names) {
    for (const char* name : names) disk.files[kTarget + name + ".fde"] = std::string("saved ") + name;
  }

  ScriptedDisk disk;
  ScriptedMember member;
  std::vector<std::string> reports_;

 private:
  ErrorEnvironment saved_;
};

TEST_F(WizardCopy, AWholeBackupWritesTheMarkerLast) {
  EXPECT_EQ(Backup({"Alpha", "Beta"}), CopyEnd::Finished);
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"remove", "Alpha", "Beta", "marker"}));
  EXPECT_EQ(disk.files[kMarker], kMarkerText);
  EXPECT_EQ(member.captions, (std::vector<std::string>{"Copying Alpha", "Copying Beta"}));
  EXPECT_TRUE(member.asked.empty());
}

TEST_F(WizardCopy, ABackupCutShortLeavesNoMarkerOfTheOneBefore) {
  disk.files[kMarker] = kMarkerText;
  disk.files[kTarget + "Beta.fde"] = "last year's Beta";
  disk.Fail("Beta", {61});  // disk full: the copy ends where it is
  EXPECT_EQ(Backup({"Alpha", "Beta", "Gamma"}), CopyEnd::Stopped);
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"remove", "Alpha", "Beta"}));
  EXPECT_FALSE(disk.Holds(kMarker));
  ASSERT_EQ(member.asked.size(), 1u);
  EXPECT_NE(member.asked[0].first.find("Disk is full!"), std::string::npos);
}

TEST_F(WizardCopy, AMarkerThatCannotBeRemovedStopsTheBackupBeforeAnySchemeIsWritten) {
  disk.files[kMarker] = kMarkerText;
  disk.Fail("remove", {70});
  member.answers = {kIgnore};
  EXPECT_EQ(Backup({"Alpha"}), CopyEnd::Stopped);
  EXPECT_EQ(disk.calls, std::vector<std::string>{"remove"});
  EXPECT_FALSE(disk.Holds(kTarget + "Alpha.fde"));
}

TEST_F(WizardCopy, NoDiskOffersRetryAndCancelAndCancelStopsTheCopy) {
  disk.Fail("Alpha", {71, 71});
  member.answers = {kRetry, kCancel};
  EXPECT_EQ(Backup({"Alpha", "Beta"}), CopyEnd::Canceled);
  ASSERT_EQ(member.asked.size(), 2u);
  EXPECT_EQ(member.asked[0].first, "~B~CRNo disk present!~B~CN~N ~NPlease insert a disk now and click ~BRetry~B");
  EXPECT_EQ(member.asked[0].second, 16 + 5);  // stop icon, Retry and Cancel
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"remove", "Alpha", "Alpha"}));
  EXPECT_FALSE(disk.Holds(kMarker));

  // The import's no-disk message has the same way out.
  ScriptedDisk source;
  source.files[kTarget + "Alpha.fde"] = "saved";
  source.Fail("list", {71, 71});
  ScriptedMember importer;
  importer.answers = {kRetry, kCancel};
  EXPECT_EQ(RunRestore({kTarget, {"Alpha"}}, source.Operations(), importer.Member()), CopyEnd::Canceled);
  ASSERT_EQ(importer.asked.size(), 2u);
  EXPECT_EQ(importer.asked[1].first,
            "There is ~B~CRno disk present~B~CN in the disk drive!~N ~NPlease insert a disk now and click ~BRetry~B");
  EXPECT_EQ(importer.asked[1].second, 21);
  EXPECT_TRUE(source.imported.empty());
}

TEST_F(WizardCopy, CancelStopsAfterTheSchemeBeingWrittenAndWritesNoMarker) {
  member.cancelAfterMoves = 2;
  EXPECT_EQ(Backup({"Alpha", "Beta", "Gamma"}), CopyEnd::Canceled);
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"remove", "Alpha", "Beta"}));
  EXPECT_FALSE(disk.Holds(kMarker));
}

TEST_F(WizardCopy, LeftOutSchemesAreNamedAndTheBackupGetsNoMarker) {
  disk.Fail("Beta", {57});  // Ignore goes on without it
  member.answers = {kIgnore};
  EXPECT_EQ(Backup({"Alpha", "Beta", "what?", "COM\xB9"}), CopyEnd::Stopped);
  // Unsafe names are never handed to the disk.
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"remove", "Alpha", "Beta"}));
  EXPECT_EQ(member.captions.back(), kExportIncompleteCaption);
  ASSERT_EQ(member.asked.size(), 2u);
  EXPECT_NE(member.asked[1].first.find("~BBeta~Nwhat?~NCOM\xB9~B"), std::string::npos) << member.asked[1].first;
  EXPECT_FALSE(disk.Holds(kMarker));
}

TEST_F(WizardCopy, ErrorsOutsideTheTableGoToTheErrorReport) {
  disk.Fail("Alpha", {58});
  disk.Fail("Beta", {75, 6});
  member.answers = {kRetry};
  // Ignore on a report leaves the scheme out; Retry on the message runs it again.
  EXPECT_EQ(Backup({"Alpha", "Beta"}), CopyEnd::Stopped);
  EXPECT_EQ(reports_, (std::vector<std::string>{"DoBackUp 58", "DoBackUp 6"}));
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"remove", "Alpha", "Beta", "Beta"}));
  member.answers = {kAbort};
  disk.Fail("Alpha", {75});
  disk.calls.clear();
  EXPECT_EQ(Backup({"Alpha", "Beta"}), CopyEnd::Stopped);
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"remove", "Alpha"}));
}

TEST_F(WizardCopy, AWholeImportFinishesAndKeepsTheFiles) {
  PutSchemeFiles({"Alpha", "Beta"});
  EXPECT_EQ(Restore({"Alpha", "Beta"}), CopyEnd::Finished);
  EXPECT_EQ(disk.imported, (std::map<std::string, std::string>{{"Alpha", "saved Alpha"}, {"Beta", "saved Beta"}}));
  EXPECT_TRUE(disk.Holds(kTarget + "Alpha.fde"));
  EXPECT_TRUE(member.asked.empty());
  // Nothing listed and nothing there is nothing to import.
  ScriptedDisk empty;
  EXPECT_EQ(RunRestore({kTarget, {}}, empty.Operations(), member.Member()), CopyEnd::Finished);
}

TEST_F(WizardCopy, AnImportFromAFolderThatVanishedNamesWhatWasNotImported) {
  PutSchemeFiles({"Alpha", "Beta"});
  disk.Vanish();
  EXPECT_EQ(Restore({"Alpha", "Beta"}), CopyEnd::Stopped);
  EXPECT_EQ(member.captions.back(), kImportIncompleteCaption);
  ASSERT_EQ(member.asked.size(), 1u);
  EXPECT_NE(member.asked[0].first.find("Some Fade Schemes were not imported!"), std::string::npos);
  EXPECT_NE(member.asked[0].first.find("~BAlpha~NBeta~B"), std::string::npos) << member.asked[0].first;
}

TEST_F(WizardCopy, AnImportThatLeftEverySchemeOutDoesNotFinish) {
  PutSchemeFiles({"Alpha", "CON"});
  disk.files[kTarget + "Alpha.fde"] = "refused";
  EXPECT_EQ(Restore({"Alpha", "CON"}), CopyEnd::Stopped);
  EXPECT_TRUE(disk.imported.empty());
  ASSERT_EQ(member.asked.size(), 1u);
  EXPECT_NE(member.asked[0].first.find("~BAlpha~NCON~B"), std::string::npos) << member.asked[0].first;
  EXPECT_EQ(std::count(disk.calls.begin(), disk.calls.end(), "CON"), 0);

  // A scheme the list showed that is gone from the folder is named too.
  ScriptedDisk changed;
  changed.files[kTarget + "Beta.fde"] = "saved Beta";
  ScriptedMember told;
  EXPECT_EQ(RunRestore({kTarget, {"Alpha", "Beta"}}, changed.Operations(), told.Member()), CopyEnd::Stopped);
  EXPECT_EQ(changed.imported.count("Beta"), 1u);
  ASSERT_EQ(told.asked.size(), 1u);
  EXPECT_NE(told.asked[0].first.find("~BAlpha~B"), std::string::npos) << told.asked[0].first;
}

TEST_F(WizardCopy, CancelStopsAnImportBetweenSchemes) {
  PutSchemeFiles({"Alpha", "Beta", "Gamma"});
  member.cancelAfterMoves = 2;  // the first move is before the first file
  EXPECT_EQ(Restore({"Alpha", "Beta", "Gamma"}), CopyEnd::Canceled);
  EXPECT_EQ(disk.imported.size(), 2u);
  EXPECT_TRUE(member.asked.empty());
}

}  // namespace
}  // namespace glimra
