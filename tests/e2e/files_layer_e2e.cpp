// The Win32 files layer on its own, against real files, and against failures
// of the system made through the import table.
#include "win32/files/files.h"

#include <future>
#include <thread>

#include "file_helpers.h"
#include "hooks.h"
#include "win32/files/file_path.h"
// After <windows.h>, which file_helpers.h brings.
#include <aclapi.h>
#include <sddl.h>

TORVANE_IMPORT_SLOT(ReadFile, 20);
TORVANE_IMPORT_SLOT(WriteFile, 20);
TORVANE_IMPORT_SLOT(MoveFileExW, 12);
TORVANE_IMPORT_SLOT(ReplaceFileW, 24);
TORVANE_IMPORT_SLOT(GetSecurityInfo, 32);
TORVANE_IMPORT_SLOT(CreateFileW, 28);
TORVANE_IMPORT_SLOT(GetFullPathNameW, 16);

namespace torvane::e2e {
namespace {

using platform::FileError;

// Failures the system gives only now and then, at will.
BOOL WINAPI ReadFails(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
  ::SetLastError(ERROR_IO_DEVICE);
  return FALSE;
}
BOOL WINAPI WriteFails(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) {
  ::SetLastError(ERROR_DISK_FULL);
  return FALSE;
}
BOOL WINAPI WritesNothing(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  *written = 0;
  return TRUE;
}
DWORD WINAPI NoFullPath(LPCWSTR, DWORD, LPWSTR, LPWSTR*) {
  ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
  return 0;
}
BOOL WINAPI MoveFails(LPCWSTR, LPCWSTR, DWORD) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}
// The old file is moved to the backup name, and then the new one is not
// moved in.
BOOL WINAPI ReplaceStopsHalfway(LPCWSTR replaced, LPCWSTR, LPCWSTR backup, DWORD, LPVOID, LPVOID) {
  system_MoveFileExW(replaced, backup, 0);
  ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
  return FALSE;
}

// Opened without sharing, as another program holding the file would.
HANDLE Lock(const std::filesystem::path& file) {
  return ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// How a call of the files layer ends: "none", its error's sentence, call and
// code, or "hangs" when it has not ended in 10 seconds.
std::string Failure(const std::function<void()>& call) {
  const auto task = std::make_shared<std::packaged_task<std::string()>>([call] {
    try {
      call();
    } catch (const FileError& e) {
      return e.what() + (" " + e.call() + " ") + std::to_string(e.code());
    }
    return std::string("none");
  });
  auto outcome = task->get_future();
  std::thread worker([task] { (*task)(); });
  if (outcome.wait_for(10s) != std::future_status::ready) {
    worker.detach();
    return "hangs";
  }
  // Joined: with each thread left to end on its own, about one call in fifty
  // stalled under Wine.
  worker.join();
  return outcome.get();
}

// Who may do what with the file, as the system writes it: D:(A;;FA;;;SY)...
std::wstring AccessList(PSECURITY_DESCRIPTOR sd) {
  wchar_t* text = nullptr;
  ::ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1,
                                                         DACL_SECURITY_INFORMATION, &text, nullptr);
  const std::wstring list = text ? text : L"none";
  ::LocalFree(text);
  return list;
}
std::wstring AccessList(const std::filesystem::path& file) {
  char sd[4096] = {};
  DWORD size = 0;
  ::GetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, sd, sizeof sd, &size);
  return AccessList(sd);
}

// A list as Windows may keep it, in generic rights, which Wine's lists never
// hold: nobody anonymous may write, the user may do all, everyone may read
// and run.
DWORD WINAPI GenericList(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID*, PSID*, PACL* dacl,
                         PACL*, PSECURITY_DESCRIPTOR* sd) {
  ::ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:(D;;GW;;;AN)(A;;GA;;;S-1-5-21-0-0-0-1000)(A;;GRGX;;;WD)", SDDL_REVISION_1, sd, nullptr);
  BOOL present = FALSE, defaulted = FALSE;
  ::GetSecurityDescriptorDacl(*sd, &present, dacl, &defaulted);
  return ERROR_SUCCESS;
}
// The access list a new file is asked to be made with.
std::wstring madeWith;
HANDLE WINAPI CreateSeen(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD creation, DWORD flags, HANDLE from) {
  if (creation == CREATE_NEW)
    madeWith = security ? AccessList(security->lpSecurityDescriptor) : L"";
  return system_CreateFileW(name, access, share, security, creation, flags, from);
}

class Win32FilesTest : public testing::Test {
 protected:
  win32::Win32Files files;
  std::filesystem::path folder = FreshFolder();
  const std::filesystem::path file = folder / L"target.txt";
};

TEST_F(Win32FilesTest, ReadsAtMostTheLimitAndSaysWhetherThereIsMore) {
  const std::string bytes("ab\0\xFF\r\n", 6);
  WriteBytes(file, bytes);
  for (std::size_t max : {6, 5, 0}) {
    const platform::FirstBytes got = files.ReadFirstBytes(file.u16string(), max);
    EXPECT_EQ(std::pair(got.bytes, got.more), std::pair(bytes.substr(0, max), max < 6)) << max;
  }
  // Past the layer's chunk of 1 MiB, in both directions: every byte in its place.
  std::string big(5 << 19, '\0');
  for (std::size_t j = 0; j < big.size(); ++j) big[j] = static_cast<char>(j * 7 % 251);
  files.Replace(file.u16string(), big);
  EXPECT_TRUE(ReadBytes(file) == big) << "written";
  for (const std::size_t max : {big.size(), big.size() - 1}) {
    const platform::FirstBytes got = files.ReadFirstBytes(file.u16string(), max);
    EXPECT_TRUE(got.bytes == big.substr(0, max)) << "read, " << max;
    EXPECT_EQ(got.more, max < big.size()) << max;
  }
  // A failure names the call, its code and the system's sentence for it.
  HANDLE lock = Lock(file);
  EXPECT_EQ(Failure([&] { files.ReadFirstBytes((folder / L"missing").u16string(), 10); }),
            "File not found. CreateFileW 2");
  EXPECT_EQ(Failure([&] { files.ReadFirstBytes(file.u16string(), 10); }),
            "Sharing violation. CreateFileW 32");
  ::CloseHandle(lock);
}

// A file and its copy, which keeps the last-write time, are the same; a
// copy of another size, or of the same size written at another time, is not.
TEST_F(Win32FilesTest, SameFileMeansTheSameSizeAndLastWriteTime) {
  const auto copy = folder / L"copy.doc";
  const auto same = [&] { return files.SameFile(file.u16string(), copy.u16string()); };
  WriteBytes(file, "the guide");
  ASSERT_TRUE(::CopyFileW(file.c_str(), copy.c_str(), FALSE));
  EXPECT_TRUE(same());
  WriteBytes(copy, "the longer guide");
  EXPECT_FALSE(same()) << "another size";
  ASSERT_TRUE(::CopyFileW(file.c_str(), copy.c_str(), FALSE));
  HANDLE h =
      ::CreateFileW(copy.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME written{};
  ::GetFileTime(h, nullptr, nullptr, &written);
  written.dwHighDateTime += 1;  // about seven minutes later
  ::SetFileTime(h, nullptr, nullptr, &written);
  ::CloseHandle(h);
  EXPECT_FALSE(same()) << "written at another time";
  EXPECT_FALSE(files.SameFile(file.u16string(), (folder / L"missing").u16string()));
}

TEST_F(Win32FilesTest, ReplaceIsAllOrNothingAndKeepsTheAttributes) {
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const struct {
    const char* name;
    const char* old;  // none: no file before
    DWORD attributes;
    bool lock;
    const char* after;
    std::string error;
    bool private_ = false;  // open to its owner only: under Wine, Unix mode 0600
  } rows[] = {
      {"New", nullptr, 0, false, "new", "none"},
      {"Longer", "the old contents", 0, false, "new", "none"},
      {"HiddenSystem", "old", kept, false, "new", "none"},
      {"Locked", "old", 0, true, "old", "Sharing violation. CreateFileW 32"},
      {"ReadOnly", "old", FILE_ATTRIBUTE_READONLY, false, "old", "The file is read-only.  0"},
      {"Private", "old", 0, false, "new", "none", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.old) WriteBytes(file, row.old);
    ::SetFileAttributesW(file.c_str(), row.attributes);
    if (row.private_) Unix(folder, L"chmod 600 target.txt");
    const std::wstring access = AccessList(file);
    HANDLE lock = row.lock ? Lock(file) : INVALID_HANDLE_VALUE;
    EXPECT_EQ(Failure([&] { files.Replace(file.u16string(), "new"); }), row.error);
    ::CloseHandle(lock);
    EXPECT_EQ(ReadBytes(file), row.after);
    EXPECT_EQ(::GetFileAttributesW(file.c_str()) & (kept | FILE_ATTRIBUTE_READONLY),
              row.attributes);
    if (row.old) {
      EXPECT_EQ(AccessList(file), access) << "the old file's";
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "left over";
    if (row.private_) {  // Wine shows none of these bits in an access list
      Unix(folder, L"find target.txt -perm /0117 -printf 'x or o: %m' -o -printf none > ../mode");
      EXPECT_EQ(ReadBytes(folder.parent_path() / L"mode"), "none");
    }
    ::SetFileAttributesW(file.c_str(), 0);
    folder = FreshFolder();
  }
}

// The new file is asked for with the target's list in file rights, none of
// them the right to execute (which Wine would make the mode's x bits).
TEST_F(Win32FilesTest, TheNewFileTakesTheTargetsAccessListWithoutTheRightToExecute) {
  WriteBytes(file, "old");
  const Hook list(importSlot_GetSecurityInfo, &GenericList);
  const Hook create(importSlot_CreateFileW, &CreateSeen);
  EXPECT_EQ(Failure([&] { files.Replace(file.u16string(), "new"); }), "none");
  // All file rights 0x1F01FF, less execute 0x20; read 0x120089 and run 0x1200A0, less 0x20.
  EXPECT_EQ(madeWith, L"D:(D;;GW;;;AN)(A;;0x1f01df;;;S-1-5-21-0-0-0-1000)(A;;FR;;;WD)");
}

// Each failure names its call and code, and leaves the old file, or no file,
// and nothing beside it; where the old file cannot be put back, the user
// learns the name it is under.
TEST_F(Win32FilesTest, AFailedReadWriteOrMoveIsReportedAndLeavesTheOldFile) {
  const auto replace = [&] { return Failure([&] { files.Replace(file.u16string(), "new"); }); };
  const auto beside = [&] {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder), {}));
  };
  WriteBytes(file, "old");
  {
    const Hook read(importSlot_ReadFile, &ReadFails);
    EXPECT_EQ(Failure([&] { files.ReadFirstBytes(file.u16string(), 10); }),
              "I/O device error. ReadFile 1117");
  }
  {
    const Hook read(importSlot_GetFullPathNameW, &NoFullPath);
    EXPECT_EQ(Failure([&] { files.ReadFirstBytes(file.u16string(), 10); }),
              "File name is too long. GetFullPathNameW 206");
  }
  for (const auto write : {&WriteFails, &WritesNothing}) {
    const Hook fails(importSlot_WriteFile, write);
    EXPECT_EQ(replace(),
              write == &WriteFails ? "Disk full. WriteFile 112" : "Write fault. WriteFile 29");
    EXPECT_EQ(std::pair(ReadBytes(file), beside()), std::pair(std::string("old"), 1));
  }
  const Hook halfway(importSlot_ReplaceFileW, &ReplaceStopsHalfway);
  EXPECT_EQ(replace(), "Moving the replacement file failed. ReplaceFileW 1177")
      << "the old file put back";
  EXPECT_EQ(std::pair(ReadBytes(file), beside()), std::pair(std::string("old"), 1));
  const Hook move(importSlot_MoveFileExW, &MoveFails);
  const std::string said = replace();
  ASSERT_EQ(beside(), 1) << "only the old file, under its backup name";
  const auto backup = std::filesystem::directory_iterator(folder)->path();
  EXPECT_EQ(ReadBytes(backup), "old");
  EXPECT_EQ(said,
            "The new text could not be put in place, and the old file could not be put "
            "back: it is now \"" +
                backup.filename().string() +
                "\", beside where it was. "
                "MoveFileExW 5");
  std::filesystem::remove(backup);
  EXPECT_EQ(replace(), "Access denied. MoveFileExW 5") << "a new file";
  EXPECT_EQ(beside(), 0);
}

// A Save cut short leaves its new file, or the old one, under a name of its
// own: here the stamp 01234567 and its complement fedcba98. The next Save to
// that target removes those, and only those.
TEST_F(Win32FilesTest, OnlyTheFilesAKilledSaveLeftAreClearedByTheNext) {
  WriteBytes(file, "old");
  // Each name, and whether it is one of ours.
  const std::pair<const wchar_t*, bool> strays[] = {
      {L"target.txt.01234567fedcba98.torvane.tmp", true},
      {L"TARGET.TXT.01234567FEDCBA98.torvane.bak", true},
      {L"target.txt.torvane.tmp", false},
      {L"target.txt.01234567fedcba99.torvane.tmp", false}};
  for (const auto& [name, ours] : strays) WriteBytes(folder / name, "left");
  // Ours by its name, but a link: Wine would delete the file it leads to.
  Unix(folder, L"echo mine > mine.txt && ln -s mine.txt target.txt.89abcdef76543210.torvane.tmp");
  EXPECT_EQ(Failure([&] { files.Replace(file.u16string(), "new"); }), "none");
  EXPECT_EQ(ReadBytes(file), "new");
  for (const auto& [name, ours] : strays) {
    EXPECT_NE(std::filesystem::exists(folder / name), ours) << name;
  }
  EXPECT_EQ(ReadBytes(folder / L"target.txt.89abcdef76543210.torvane.tmp"), "mine\n");
  Unix(folder, L"rm target.txt.89abcdef76543210.torvane.tmp");
}

// Under Wine, COM1 is the serial port, where a read waits for data for good.
// A device, a pipe, or a name the system takes for a device's is never read
// nor written; a file of such a name that is really there is that file.
TEST_F(Win32FilesTest, DevicesAndPipesAreRefusedAndFilesNamedLikeDevicesAreFiles) {
  const wchar_t* named[] = {L"aux.txt", L"Com1.Log", L"nul.txt", L"con.txt", L"lpt1.txt"};
  for (const wchar_t* name : named) WriteBytes(Literal(folder / name), "the file");
  Unix(folder, L"mkfifo fifo");
  const std::string device = "\" is the name of a device, not of a file.  0";
  const std::pair<std::filesystem::path, std::string> refused[] = {
      {L"COM1", "\"COM1" + device},
      {L"\\\\.\\COM1", "\"COM1" + device},
      {folder / L"prn.txt", "\"prn.txt" + device},
      {folder / L"fifo", "\"fifo\" is a device or a pipe, not a file.  0"}};
  for (const auto& [path, why] : refused) {
    EXPECT_EQ(Failure([&] { files.ReadFirstBytes(path.u16string(), 10); }), why);
    EXPECT_EQ(Failure([&] { files.Replace(path.u16string(), "new"); }), why);
  }
  for (const wchar_t* name : named) {
    const std::u16string path = (folder / name).u16string();
    std::string got;
    EXPECT_EQ(Failure([&] { got = files.ReadFirstBytes(path, 10).bytes; }), "none");
    EXPECT_EQ(Failure([&] { files.Replace(path, "new"); }), "none");
    EXPECT_EQ(got + ", then " + ReadBytes(Literal(folder / name)), "the file, then new") << name;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 6) << "nothing more";
  Unix(folder, L"rm fifo");
}

// A Save through a link to a file, or through a link to its folder, writes
// the file it leads to, and the link stays a link.
TEST_F(Win32FilesTest, ReplaceThroughALinkWritesTheFileItLeadsTo) {
  const auto real = folder / L"other" / L"real.txt";
  Unix(folder, L"mkdir other && ln -s other/real.txt link.txt && ln -s other linked");
  for (const wchar_t* via : {L"link.txt", L"linked\\real.txt"}) {
    WriteBytes(real, "old");
    EXPECT_EQ(Failure([&] { files.Replace((folder / via).u16string(), "new"); }), "none");
    EXPECT_EQ(ReadBytes(real), "new") << via;
    WriteBytes(real, "written since");
    EXPECT_EQ(ReadBytes(folder / via), "written since") << via;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / L"other"), {}), 1);
  Unix(folder, L"rm link.txt linked");
}

// A long path on a share takes the literal form of a share, not of a drive.
TEST(Win32FilesPath, ALongPathOnAShareTakesTheLiteralFormOfAShare) {
  const std::wstring rest = L"server\\share\\" + std::wstring(250, L'x');
  const std::wstring path = L"\\\\" + rest;
  EXPECT_EQ(win32::DiskPath(std::u16string(path.begin(), path.end())), L"\\\\?\\UNC\\" + rest);
}

HRESULT WINAPI NoFolder(HWND, int, HANDLE, DWORD, LPWSTR) {
  return E_FAIL;
}

// Neither the environment nor the shell knows the user's own folder: none.
TEST_F(Win32FilesTest, WithoutTheUsersOwnFolderThereIsNone) {
  wchar_t local[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
  ::SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
  {
    const StandIns shell({{"SHGetFolderPathW", AsFound(&NoFolder)}});
    EXPECT_EQ(files.LocalAppData(), std::nullopt);
  }
  ::SetEnvironmentVariableW(L"LOCALAPPDATA", local);
}

// scripts/with-full-disk.sh mounts a nearly full file system and names it in
// TORVANE_FULL_DIR, or says in TORVANE_FULL_DISK_ERROR why it could not.
TEST(Win32FilesFullDisk, ReplaceOnAFullDiskLeavesTheTargetWhole) {
  const char* dir = std::getenv("TORVANE_FULL_DIR");
  ASSERT_TRUE(dir && *dir) << "no full disk (see scripts/with-full-disk.sh): "
                           << std::getenv("TORVANE_FULL_DISK_ERROR");
  const auto target = std::filesystem::path(dir) / L"target.txt";
  WriteBytes(target, "old");
  win32::Win32Files files;
  EXPECT_THROW(files.Replace(target.u16string(), std::string(1 << 20, 'x')), FileError);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "only the target";
  std::filesystem::remove(target);
}

}  // namespace
}  // namespace torvane::e2e
