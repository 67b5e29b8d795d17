// Shared by the Windows tests: a fresh temporary folder per test, small file
// helpers over real files, and a recorder for the messages the engine and the
// file readers would show.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/notify.h"

// A new empty folder under the Windows temporary folder, removed with all
// its contents when the test ends. path() has no trailing separator.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // path() + "\" + relative
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

private:
    std::string path_;
};

// A new folder directly below C:\ ("C:\qs-<tag>-<process id>"), removed with
// all its contents when the test ends. The system's folder browser finds a
// folder by the items' recorded times and selects it reliably only there,
// while the temporary folder changes under it as other tests run.
class DriveRootDir {
public:
    explicit DriveRootDir(const std::string& tag);
    ~DriveRootDir();
    DriveRootDir(const DriveRootDir&) = delete;
    DriveRootDir& operator=(const DriveRootDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

private:
    std::string path_;
};

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
bool folder_exists(const std::string& path);
void make_folder(const std::string& path);  // with missing parents
// A tree that takes long to walk: folders f0 .. f(outer-1) below root, each
// with g0 .. g(inner-1). Kept to small folders, because Wine makes a name in
// a large folder slowly.
void make_wide_tree(const std::string& root, int outer, int inner);
// One folder whose path may pass 259 bytes (ASCII names only).
void make_long_folder(const std::string& path);
// Sets the three times of a file to the given FILETIME value (100 ns units).
void set_file_times(const std::string& path, unsigned long long filetime);
unsigned long long last_write_time(const std::string& path);
// Names in a folder (no "." or ".."), sorted.
std::vector<std::string> list_folder(const std::string& path);
void remove_tree(const std::string& path);
// The lines of a CR LF text, without their line ends.
std::vector<std::string> lines_of(const std::string& text);
// The lines of a CR LF text (a report) that hold the text.
std::vector<std::string> lines_with(const std::string& report, const std::string& text);

// The Windows path of a path of the host: under Wine the host root is
// drive Z:. A path that is not a host path is given back as it is.
std::string host_path(const std::string& path);
// The host path of a Windows path, through Wine's own mapping, in the code
// page as run_on_host takes it; "" when it has none.
std::string unix_path_of(const std::string& windows_path);
// Makes link (a Windows path) a symbolic link on the host to target: a path
// relative to the link's folder ("..") or a Windows path. Wine lists such a
// link to a folder as a reparse point, as Windows lists a junction.
bool make_host_link(const std::string& link, const std::string& target);
// Runs a shell command on the host and gives its exit code, or -1 when it
// has not ended within 30 s. Wine starts a Unix program named on drive Z:
// but neither waits for it nor hands back its exit code, so the command
// writes the code into a file. No double quotes in the command.
int run_on_host(const std::string& command);

// Windows' list of files backup programs leave out, under HKLM.
constexpr char kFilesNotToBackup[] = "SYSTEM\\CurrentControlSet\\Control\\BackupRestore\\FilesNotToBackup";

// The tests that change Windows' lists in the prefix one at a time, in every
// process of the prefix: a value deleted at one test's end shifts the values
// after it while another test (or the program it drives) enumerates the key,
// which would then miss one of its own.
class KeysToOneTest {
public:
    KeysToOneTest();
    ~KeysToOneTest();
    KeysToOneTest(const KeysToOneTest&) = delete;
    KeysToOneTest& operator=(const KeysToOneTest&) = delete;

private:
    HANDLE mutex_;
};

// A value of HKLM of this test alone (named after its process), deleted at
// its end. The key is made when the prefix has none and left for the next test.
class TestValue {
public:
    TestValue(const char* key_path, DWORD type, const std::string& data);
    ~TestValue();
    TestValue(const TestValue&) = delete;
    TestValue& operator=(const TestValue&) = delete;

private:
    const char* key_path_;
    std::string name_;
};

// A REG_MULTI_SZ value's bytes: each line, its zero, and the list's zero.
std::string multi_string(const std::vector<std::string>& lines);

// Puts the seam records beneath the windows (base_seams(), engine_seams(),
// store_seams()) back to the program's values when it goes, so that a test
// that set a seam leaks none into the next: a fixture that sets seams holds
// one, and so does a test or a case of a table that sets them itself.
struct SeamsReset {
    SeamsReset() = default;
    ~SeamsReset();
    SeamsReset(const SeamsReset&) = delete;
    SeamsReset& operator=(const SeamsReset&) = delete;
};

// Every listing of the test fails after `items` items with code, as a
// share's hiccup would end it (the listing's seam); off again at the end.
struct FailingListings : SeamsReset {
    FailingListings(int items, DWORD code);
};

// A drive letter of the prefix (a link in its dosdevices) to a fresh folder
// of the host for one test, gone with the folder at its end. root() is the
// drive as the folder browser gives it ("R:\").
class MappedDrive {
public:
    explicit MappedDrive(char letter);  // lower case, as dosdevices names it
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    bool mapped() const { return mapped_; }
    std::string root() const { return std::string(1, static_cast<char>(letter_ - 'a' + 'A')) + ":\\"; }

private:
    char letter_;
    std::string host_folder_;
    bool mapped_ = false;
};

// A hidden 600 x 600 top-level window of a class of its own, registered with
// this procedure: the stand-in for a main window.
HWND make_hidden_window(const char* class_name, WNDPROC procedure);
// The text of a list view cell of this process.
std::string list_view_text(HWND list, int row, int column);
// Whether a child of this window shows this text (the system folder
// browser shows the caller's prompt in a static text of its own).
bool has_child_text(HWND window, const std::string& text);
// The width in pixels a text takes in a control's font, on one line.
int text_width(HWND control, const std::string& text);
// pixels at 96 DPI at the display's DPI. A run that sets QS_EXPECT_DPI
// fails here when the display's DPI is another, so a prefix whose DPI did
// not take cannot pass for one that did.
int at_display_dpi(int pixels);

struct RecordedMessage {
    std::string text, caption;
    MessageKind kind;
    MessageOwner owner;
};

// A Notifier whose messages are kept instead of shown.
struct MessageRecorder {
    std::vector<RecordedMessage> messages;
    Notifier notifier();
};

// A source tree of names code page 932 cannot hold beside plain ones:
// café.txt beside a different cafe.txt, 한국\inside.txt, 😀.txt and
// plain.txt, each file with bytes of its own. Made through the wide calls.
struct UnheldNamesTree {
    struct File {
        std::wstring relative;  // below the source folder
        std::string bytes;
    };
    std::string source;
    std::vector<File> files;

    explicit UnheldNamesTree(const std::string& source_folder);
    // The ANSI path below a folder that names the file as the program
    // reaches it: each part by its own name, or by its short name where
    // code page 932 cannot hold it (as in the source folder). Empty when
    // the folder has no such file.
    static std::string reached_path(const std::string& folder, const std::wstring& relative);
};
