#include "base/listing_win.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "base/handle_win.h"
#include "base/seams.h"

namespace {

// The marks of the listing's seam on one listed item.
void apply_marks(WIN32_FIND_DATAW& data)
{
    const ListedMarks& marks = base_seams().marks;
    if (std::wcsstr(data.cFileName, marks.name_part.c_str()) != nullptr) {
        data.dwFileAttributes |= marks.attributes;
        data.dwReserved0 = marks.reparse_tag;
    }
}

// The next item of a search, or false with the last error telling why not.
bool next_item(HANDLE find, WIN32_FIND_DATAW& data, int listed)
{
    const BaseSeams& seams = base_seams();
    if (seams.fail_listings_after >= 0 && listed >= seams.fail_listings_after) {
        SetLastError(seams.fail_listing_code);
        return false;
    }
    return FindNextFileW(find, &data) != FALSE;
}

// A UTF-16 name or path converted to code page 932, with the two tests that
// tell a name the code page cannot hold: a character without an exact form
// (its default "?"), and, where a best-fit letter slipped in all the same,
// a text that converts back to another name.
struct Converted {
    char text[2 * kFieldSize];
    NameConversion conversion;
};

// Plain ASCII is held by every code page as it is; most names are, and a
// walk of a large tree then costs no conversion calls.
bool ascii_copy(Converted& out, const wchar_t* wide)
{
    std::size_t i = 0;
    for (; wide[i] != 0; ++i) {
        if (wide[i] >= 0x80 || i + 1 >= sizeof out.text)
            return false;
        out.text[i] = static_cast<char>(wide[i]);
    }
    out.text[i] = 0;
    out.conversion = {out.text, false, true};
    return true;
}

void convert(Converted& out, const wchar_t* wide)
{
    if (ascii_copy(out, wide))
        return;
    BOOL used_default = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out.text, sizeof out.text, "?",
                                &used_default);
    if (n <= 0)
        out.text[0] = 0;
    bool same_back = false;
    wchar_t back[2 * kFieldSize];
    if (n > 0 && MultiByteToWideChar(CP_ACP, 0, out.text, -1, back, 2 * kFieldSize) > 0)
        same_back = std::wcscmp(back, wide) == 0;
    out.conversion = {out.text, used_default != FALSE, same_back};
}

}  // namespace

ListingEnd for_each_listed_item(const char* pattern, const std::function<bool(const ListedItem&)>& visit)
{
    wchar_t wide_pattern[kFieldSize + 8];
    if (MultiByteToWideChar(CP_ACP, 0, pattern, -1, wide_pattern, kFieldSize + 8) <= 0)
        return {false, GetLastError()};
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW(wide_pattern, &data));
    if (!find.valid())
        return {false, GetLastError()};
    Converted own, short_name;
    ListedItem item;
    int listed = 0;
    do {
        convert(own, data.cFileName);
        // The short name is only looked at when the own name cannot serve.
        if (held_exactly(own.conversion) || base_seams().hide_short_names)
            data.cAlternateFileName[0] = 0;
        convert(short_name, data.cAlternateFileName);
        if (!base_seams().marks.name_part.empty())
            apply_marks(data);
        item.attributes = data.dwFileAttributes;
        item.reparse_tag = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
        item.last_write = data.ftLastWriteTime;
        item.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        item.reach = reach_name(item.name, own.conversion, short_name.conversion);
        if (!visit(item))
            return {true, 0};
    } while (next_item(find.get(), data, ++listed));
    DWORD error = GetLastError();
    return {true, error == ERROR_NO_MORE_FILES ? 0 : error};
}

bool ansi_path_of(const wchar_t* path, char (&out)[kFieldSize])
{
    out[0] = 0;
    Converted converted;
    convert(converted, path);
    if (!held_exactly(converted.conversion)) {
        wchar_t short_path[2 * kFieldSize];
        DWORD n = base_seams().hide_short_names ? 0 : GetShortPathNameW(path, short_path, 2 * kFieldSize);
        if (n == 0 || n >= 2 * kFieldSize)
            return false;
        convert(converted, short_path);
        if (!held_exactly(converted.conversion))
            return false;
    }
    return copy_field(out, converted.text);
}

bool ansi_names_below(const wchar_t* folder, const wchar_t* below, std::size_t len, std::string& out)
{
    out.clear();
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    Converted name;
    for (std::size_t from = 0; from < len;) {
        std::size_t end = from;
        while (end < len && below[end] != L'\\')
            ++end;
        std::wstring own(below + from, end - from);
        path += own;
        convert(name, own.c_str());
        if (own.empty() || !held_exactly(name.conversion)) {
            wchar_t short_path[2 * kFieldSize];
            DWORD n = base_seams().hide_short_names ? 0 : GetShortPathNameW(path.c_str(), short_path, 2 * kFieldSize);
            const wchar_t* last = n == 0 || n >= 2 * kFieldSize ? nullptr : std::wcsrchr(short_path, L'\\');
            if (last == nullptr)
                return false;
            convert(name, last + 1);
            if (!held_exactly(name.conversion))
                return false;
        }
        out.append(1, '\\').append(name.text);
        if (out.size() > kMaxText)
            return false;
        path += L'\\';
        from = end + 1;
    }
    return !out.empty();
}

bool link_target(const char* path, char (&out)[kFieldSize])
{
    out[0] = 0;
    wchar_t wide[kFieldSize + 8];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kFieldSize + 8) <= 0)
        return false;
    // No access asked: a profile's old junctions refuse listing, not this.
    ScopedHandle link(CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!link.valid())
        return false;
    wchar_t final_path[2 * kFieldSize];
    DWORD n = GetFinalPathNameByHandleW(link.get(), final_path, 2 * kFieldSize, FILE_NAME_NORMALIZED);
    if (n == 0 || n >= 2 * kFieldSize)
        return false;
    // "\\?\C:\x" is C:\x, "\\?\UNC\server\share" is \\server\share.
    const wchar_t* shown = final_path;
    if (std::wcsncmp(shown, L"\\\\?\\UNC\\", 8) == 0) {
        shown += 6;
        final_path[6] = L'\\';
    } else if (std::wcsncmp(shown, L"\\\\?\\", 4) == 0) {
        shown += 4;
    }
    return ansi_path_of(shown, out);
}
