#include "engine/system_exclusions_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "base/text.h"

namespace {

constexpr char kFilesNotToBackup[] = "SYSTEM\\CurrentControlSet\\Control\\BackupRestore\\FilesNotToBackup";
constexpr char kHiveList[] = "SYSTEM\\CurrentControlSet\\Control\\hivelist";
// No list Windows writes comes near this; a larger value is passed over
// rather than read into ever larger buffers.
constexpr DWORD kLargestValue = 64 * 1024;
// The registry's longest value name (16383 characters) in bytes of code
// page 932, and its zero.
constexpr DWORD kLongestName = 2 * 16383 + 1;
// The environment's own limit on a variable, so on an expanded line.
constexpr DWORD kLongestExpansion = 32 * 1024;

class ScopedKey {
public:
    // A 32-bit program on 64-bit Windows reads the system's own view;
    // HKLM\SYSTEM is the same in both, so the flag only says which is meant.
    explicit ScopedKey(const char* path)
    {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~ScopedKey()
    {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// One value of a key, its data followed by two zero bytes, so that a string
// or a list of strings stored without its ending zero still ends.
struct ValueBuffers {
    std::vector<char> name;
    std::vector<BYTE> data;
    bool at_bounds = false;

    LONG read(HKEY key, DWORD index, DWORD& type, DWORD& size)
    {
        DWORD name_len = static_cast<DWORD>(name.size());
        size = static_cast<DWORD>(data.size() - 2);
        LONG r = RegEnumValueA(key, index, name.data(), &name_len, nullptr, &type, data.data(), &size);
        if (r == ERROR_SUCCESS)
            data[size] = data[size + 1] = 0;
        return r;
    }
};

// Calls visit(type, data, size) for each value of the key up to
// kLargestValue bytes. The buffers are sized from the key and grow once to
// the bounds, for a value written between the two calls.
template <typename Visit>
void for_each_value(HKEY key, Visit visit)
{
    DWORD longest_name = 0, longest_data = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest_name,
                         &longest_data, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    ValueBuffers v;
    v.name.resize(std::min(2 * longest_name + 1, kLongestName));
    v.data.resize(std::min(longest_data, kLargestValue) + 2);
    for (DWORD i = 0;; ++i) {
        DWORD type = 0, size = 0;
        LONG r = v.read(key, i, type, size);
        if (r == ERROR_MORE_DATA && !v.at_bounds) {
            v.name.resize(kLongestName);
            v.data.resize(kLargestValue + 2);
            v.at_bounds = true;
            r = v.read(key, i, type, size);
        }
        if (r == ERROR_NO_MORE_ITEMS)
            return;
        if (r == ERROR_SUCCESS)
            visit(type, reinterpret_cast<const char*>(v.data.data()), size);
    }
}

// Calls visit(line) for the string of a REG_SZ or REG_EXPAND_SZ value and
// for each string of a REG_MULTI_SZ one, up to its empty last string.
template <typename Visit>
void for_each_string(DWORD type, const char* data, DWORD size, Visit visit)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        visit(data);
        return;
    }
    if (type != REG_MULTI_SZ)
        return;
    for (DWORD at = 0; at < size && data[at] != 0; at += static_cast<DWORD>(std::strlen(data + at)) + 1)
        visit(data + at);
}

// line with its environment variables expanded; empty when it cannot be.
std::string expanded(const char* line)
{
    // The ANSI call asks for one byte more than the text and its zero.
    std::vector<char> out(2 * kFieldSize);
    DWORD n = ExpandEnvironmentStringsA(line, out.data(), static_cast<DWORD>(out.size() - 1));
    if (n > out.size() - 1 && n <= kLongestExpansion) {
        out.resize(n + 1);
        n = ExpandEnvironmentStringsA(line, out.data(), static_cast<DWORD>(out.size() - 1));
    }
    if (n == 0 || n > out.size() - 1)
        return {};
    return std::string(out.data());
}

// The line with its folder part in long names where it is written in short
// ones that exist ("C:\Users\TAROYA~1\AppData\Local\Temp\* /s"), for the
// walk lists long names; as it is otherwise. Every short name Windows makes
// holds a "~", so a line without one costs no call. A line without a drive
// stands for every drive and is no one folder to look up.
std::string with_long_folder(const std::string& line)
{
    std::size_t folder_len = folder_part_length(line.c_str(), line.size());
    if (folder_len < 2 || line.find('~') >= folder_len || path_root(line.c_str()).kind == RootKind::none)
        return line;
    std::string folder = line.substr(0, folder_len - 1);
    std::vector<char> long_name(kFieldSize);
    DWORD n = GetLongPathNameA(folder.c_str(), long_name.data(), static_cast<DWORD>(long_name.size()));
    if (n >= long_name.size() && n <= kLongestExpansion) {
        long_name.resize(n);
        n = GetLongPathNameA(folder.c_str(), long_name.data(), static_cast<DWORD>(long_name.size()));
    }
    if (n == 0 || n >= long_name.size())
        return line;
    return std::string(long_name.data(), n) + line.substr(folder_len - 1);
}

void add_files_not_to_backup(std::vector<SystemExclusion>& out)
{
    ScopedKey key(kFilesNotToBackup);
    if (key.get() == nullptr)
        return;
    for_each_value(key.get(), [&](DWORD type, const char* data, DWORD size) {
        for_each_string(type, data, size, [&](const char* line) {
            SystemExclusion e;
            if (parse_system_exclusion(with_long_folder(expanded(line)).c_str(), e))
                out.push_back(std::move(e));
        });
    });
}

struct DriveDevice {
    std::string device;  // "\Device\HarddiskVolume3"
    char letter;
};

// The device each drive letter stands for now.
std::vector<DriveDevice> drive_devices()
{
    std::vector<DriveDevice> out;
    DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((drives & (1ul << i)) == 0)
            continue;
        char drive[] = {static_cast<char>('A' + i), ':', 0};
        // A list of names, the one in force first.
        char device[kFieldSize];
        if (QueryDosDeviceA(drive, device, sizeof device) != 0 && device[0] != 0)
            out.push_back({device, drive[0]});
    }
    return out;
}

bool same_ascii_text(const char* a, const char* b, std::size_t len)
{
    for (std::size_t i = 0; i < len; ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 'a' + 'A') : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// The drive path of a device path ("\Device\HarddiskVolume3\Users\x" gives
// "C:\Users\x"): the drive whose device name is the longest that begins it
// and is followed by "\". Empty when no drive holds it.
std::string drive_path(const char* device_path, const std::vector<DriveDevice>& devices)
{
    std::size_t len = std::strlen(device_path);
    const DriveDevice* best = nullptr;
    for (const DriveDevice& d : devices) {
        std::size_t n = d.device.size();
        if (n >= len || device_path[n] != '\\' || !same_ascii_text(device_path, d.device.c_str(), n))
            continue;
        if (best == nullptr || n > best->device.size())
            best = &d;
    }
    if (best == nullptr)
        return {};
    return std::string(1, best->letter) + ":" + (device_path + best->device.size());
}

void add_loaded_hives(std::vector<SystemExclusion>& out)
{
    ScopedKey key(kHiveList);
    if (key.get() == nullptr)
        return;
    std::vector<DriveDevice> devices = drive_devices();
    for_each_value(key.get(), [&](DWORD type, const char* data, DWORD) {
        if (type != REG_SZ)
            return;
        std::string path = drive_path(data, devices);
        if (!path.empty())
            add_hive_exclusions(path.c_str(), out);
    });
}

}  // namespace

std::vector<SystemExclusion> read_system_exclusions()
{
    std::vector<SystemExclusion> out;
    add_files_not_to_backup(out);
    add_loaded_hives(out);
    return out;
}
