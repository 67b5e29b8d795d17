#include "engine/versions.h"

#include <cstring>

#include "engine/folder_key.h"

namespace {

constexpr std::size_t kStampSize = 18;  // " YYYY-MM-DD hhmmss"

// Where the extension begins: the last "." outside a double-byte character,
// not at the start; the length of the name when there is none.
std::size_t extension_start(const char* name, std::size_t len)
{
    std::size_t dot = len;
    for (std::size_t i = 0; i < len; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(name[i])) && i + 1 < len) {
            ++i;
            continue;
        }
        if (name[i] == '.' && i > 0)
            dot = i;
    }
    return dot;
}

std::string stamp(const ReportTime& t)
{
    return time_text(" %04d-%02d-%02d %02d%02d%02d", t);
}

bool digits(const char* p, std::size_t n, int& value)
{
    value = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        value = value * 10 + (p[i] - '0');
    }
    return true;
}

bool stamp_at(const char* p, ReportTime& t)
{
    return p[0] == ' ' && digits(p + 1, 4, t.year) && p[5] == '-' && digits(p + 6, 2, t.month) && p[8] == '-' &&
           digits(p + 9, 2, t.day) && p[11] == ' ' && digits(p + 12, 2, t.hour) && digits(p + 14, 2, t.minute) &&
           digits(p + 16, 2, t.second) && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
           t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

// The stamp of a version's name: where it begins, and where it ends with
// the " (2)" a taken name adds after it; it ends the name or comes right
// before the extension. The last such stamp counts.
bool find_stamp(const char* name, std::size_t len, ReportTime& when, std::size_t& at, std::size_t& end)
{
    for (std::size_t i = len >= kStampSize ? len - kStampSize + 1 : 0; i-- > 0;) {
        if (!stamp_at(name + i, when))
            continue;
        std::size_t after = i + kStampSize;
        if (name[after] == ' ' && name[after + 1] == '(') {
            std::size_t d = after + 2;
            while (name[d] >= '0' && name[d] <= '9')
                ++d;
            if (d > after + 2 && name[d] == ')')
                after = d + 1;
        }
        if (after == len || name[after] == '.') {
            at = i;
            end = after;
            return true;
        }
    }
    return false;
}

// The part of a name before its extension, cut by whole characters to
// `keep` bytes; false when not one character fits.
bool cut_stem(char (&stem)[kFieldSize], const char* name, std::size_t stem_len, std::size_t keep)
{
    copy_text(stem, keep + 1 < sizeof stem ? keep + 1 : sizeof stem, name, stem_len);
    return stem[0] != 0;
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
long long days_from_civil(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

std::string versions_folder(const char* backup_folder, const char* relative)
{
    std::string folder = backup_folder;
    if (!ends_in_separator(backup_folder))
        folder += '\\';
    return folder + kVersionsFolder + relative;
}

bool version_name(std::string& out, const char* name, const ReportTime& when, std::size_t room)
{
    std::size_t len = std::strlen(name);
    std::size_t dot = extension_start(name, len);
    std::size_t ext = len - dot;
    if (room < kStampSize + ext + 1)
        return false;
    char stem[kFieldSize];
    if (!cut_stem(stem, name, dot, room - kStampSize - ext))
        return false;
    out = std::string(stem) + stamp(when) + std::string(name + dot, ext);
    return true;
}

bool version_path(char (&out)[kFieldSize], const char* backup_folder, const char* relative, const char* name,
                  const ReportTime& when)
{
    out[0] = 0;
    std::string base = versions_folder(backup_folder, relative) + '\\';
    if (base.size() >= kMaxText)
        return false;
    std::string file;
    if (!version_name(file, name, when, kMaxText - base.size()))
        return false;
    return copy_field(out, (base + file).c_str());
}

bool version_time(const char* name, ReportTime& when)
{
    std::size_t at = 0, end = 0;
    return find_stamp(name, std::strlen(name), when, at, end);
}

bool version_original(std::string& out, const char* name)
{
    ReportTime when{};
    std::size_t len = std::strlen(name), at = 0, end = 0;
    if (!find_stamp(name, len, when, at, end))
        return false;
    out.assign(name, at);
    out.append(name + end, len - end);
    return true;
}

bool numbered_version_path(char (&out)[kFieldSize], const char* version, int serial)
{
    out[0] = 0;
    std::size_t folder = folder_part_length(version);
    const char* name = version + folder;
    std::size_t len = std::strlen(name), at = 0, end = 0;
    ReportTime when{};
    if (serial < 2 || !find_stamp(name, len, when, at, end))
        return false;
    std::string numbered = stamp(when) + " (" + std::to_string(serial) + ")";
    std::size_t ext = len - end;
    if (folder + numbered.size() + ext + 1 > kMaxText)
        return false;
    char stem[kFieldSize];
    if (!cut_stem(stem, name, at, kMaxText - folder - numbered.size() - ext))
        return false;
    return copy_field(out, (std::string(version, folder) + stem + numbered + std::string(name + end, ext)).c_str());
}

long long seconds_of(const ReportTime& t)
{
    return days_from_civil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

bool version_expired(const ReportTime& when, const ReportTime& now, int days)
{
    // 0 keeps no new versions; those kept so far stay until the user
    // deletes them.
    if (days <= 0)
        return false;
    return seconds_of(now) - seconds_of(when) > static_cast<long long>(days) * 86400;
}

bool same_folder(const char* a, const char* b)
{
    return folder_key(a) == folder_key(b);
}
