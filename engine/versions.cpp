#include "engine/versions.h"

#include <cstring>

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

unsigned char folded(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

std::size_t without_separator(const char* text)
{
    std::size_t len = std::strlen(text);
    while (len > 1 && ends_in_separator(text, len))
        --len;
    return len;
}

}  // namespace

bool version_name(std::string& out, const char* name, const ReportTime& when, std::size_t room)
{
    std::size_t len = std::strlen(name);
    std::size_t dot = extension_start(name, len);
    std::size_t ext = len - dot;
    if (room < kStampSize + ext + 1)
        return false;
    std::size_t keep = room - kStampSize - ext;
    char stem[kFieldSize];
    copy_text(stem, keep + 1 < sizeof stem ? keep + 1 : sizeof stem, name, dot);
    if (stem[0] == 0)
        return false;
    out = std::string(stem) + stamp(when) + std::string(name + dot, ext);
    return true;
}

bool version_path(char (&out)[kFieldSize], const char* backup_folder, const char* relative, const char* name,
                  const ReportTime& when)
{
    out[0] = 0;
    std::string base = backup_folder;
    if (!ends_in_separator(backup_folder))
        base += '\\';
    base += kVersionsFolder;
    base += relative;
    base += '\\';
    if (base.size() >= kMaxText)
        return false;
    std::string file;
    if (!version_name(file, name, when, kMaxText - base.size()))
        return false;
    return copy_field(out, (base + file).c_str());
}

bool version_time(const char* name, ReportTime& when)
{
    std::size_t len = std::strlen(name);
    for (std::size_t i = len >= kStampSize ? len - kStampSize + 1 : 0; i-- > 0;) {
        bool ends_there = i + kStampSize == len || name[i + kStampSize] == '.';
        if (ends_there && stamp_at(name + i, when))
            return true;
    }
    return false;
}

long long seconds_of(const ReportTime& t)
{
    return days_from_civil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

bool version_expired(const ReportTime& when, const ReportTime& now, int days)
{
    if (days <= 0)
        return false;
    return seconds_of(now) - seconds_of(when) > static_cast<long long>(days) * 86400;
}

bool same_folder(const char* a, const char* b)
{
    std::size_t len = without_separator(a);
    if (len != without_separator(b))
        return false;
    for (std::size_t i = 0; i < len; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (is_lead_byte(x) && i + 1 < len) {
            if (x != y || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (folded(x) != folded(y))
            return false;
    }
    return true;
}
