#include "engine/exclusions.h"

#include <cstring>

#include "base/text.h"
#include "engine/folder_key.h"

namespace {

std::size_t char_length(const char* text, std::size_t len, std::size_t at)
{
    return is_lead_byte(static_cast<unsigned char>(text[at])) && at + 1 < len ? 2 : 1;
}

char folded(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool same_char(const char* a, std::size_t a_len, const char* b, std::size_t b_len)
{
    if (a_len != b_len)
        return false;
    return a_len == 2 ? a[0] == b[0] && a[1] == b[1] : folded(a[0]) == folded(b[0]);
}

bool is_space(char c)
{
    return c == ' ' || c == '\t';
}

// The pattern between two separators, without the spaces around it.
void trim(const char* text, std::size_t& from, std::size_t& to)
{
    while (from < to && is_space(text[from]))
        ++from;
    while (to > from && is_space(text[to - 1]))
        --to;
}

// "*", "**", "*.*": a pattern that every name of a tree (or, read as Windows
// reads "*.*", every file) would match.
bool matches_every_name(const char* p, std::size_t len)
{
    std::size_t stars = 0;
    for (std::size_t i = 0; i < len; ++i) {
        if (p[i] == '*')
            ++stars;
        else if (p[i] != '.' && p[i] != '\\')
            return false;
    }
    return stars > 0;
}

// Calls visit(from, to) for each pattern of text; a separator at the very
// end gives none.
template <typename Visit>
void for_each_pattern(const char* text, Visit visit)
{
    std::size_t len = std::strlen(text);
    std::size_t from = 0;
    while (from <= len) {
        std::size_t to = from;
        while (to < len && text[to] != kPatternSeparator)
            to += char_length(text, len, to);
        if (to >= len && from == len && from > 0)
            return;  // after a last separator
        if (!visit(from, to))
            return;
        from = to + 1;
    }
}

// The part of a key after its root: "C:\A\B" gives "\A\B", "C:" gives "".
std::string after_root(const std::string& key)
{
    PathRoot root = path_root(key.c_str(), key.size());
    if (root.kind != RootKind::drive && root.kind != RootKind::share)
        return key;
    return key.substr(root.length);
}

}  // namespace

bool wildcard_match(const char* p, std::size_t p_len, const char* t, std::size_t t_len)
{
    // Greedy with one point to go back to: the last "*" and where in the text
    // it stood, so that a run of stars costs no recursion.
    std::size_t pi = 0, ti = 0;
    std::size_t star = std::string::npos, star_text = 0;
    while (ti < t_len) {
        std::size_t t_char = char_length(t, t_len, ti);
        if (pi < p_len && p[pi] == '*') {
            star = ++pi;
            star_text = ti;
            continue;
        }
        if (pi < p_len) {
            std::size_t p_char = char_length(p, p_len, pi);
            bool one = p[pi] == '?' && t[ti] != '\\';
            if (one || same_char(p + pi, p_char, t + ti, t_char)) {
                pi += p_char;
                ti += t_char;
                continue;
            }
        }
        // Back to the last star, which takes one more character of the text,
        // never a separator.
        if (star == std::string::npos || t[star_text] == '\\')
            return false;
        star_text += char_length(t, t_len, star_text);
        pi = star;
        ti = star_text;
    }
    while (pi < p_len && p[pi] == '*')
        ++pi;
    return pi == p_len;
}

PatternCheck check_patterns(const char* text)
{
    PatternCheck check;
    for_each_pattern(text, [&](std::size_t from, std::size_t to) {
        std::size_t start = from, end = to;
        trim(text, start, end);
        bool last = to == std::strlen(text);
        // Spaces after the last separator are what a user leaves, not a pattern.
        if (start == end && !last)
            check = {PatternFault::empty, from, to - from};
        else if (matches_every_name(text + start, end - start))
            check = {PatternFault::too_wide, start, end - start};
        return check.fault == PatternFault::none;
    });
    return check;
}

NamePatterns::NamePatterns(const char* text)
{
    for_each_pattern(text, [&](std::size_t from, std::size_t to) {
        trim(text, from, to);
        while (from < to && text[from] == '\\')
            ++from;
        while (to > from && ends_in_separator(text + from, to - from))
            --to;
        if (from == to || matches_every_name(text + from, to - from))
            return true;
        std::string pattern(text + from, to - from);
        if (next_separator(pattern.c_str(), pattern.size(), 0) < pattern.size())
            paths_.push_back(std::move(pattern));
        else
            names_.push_back(std::move(pattern));
        return true;
    });
}

bool NamePatterns::leaves_out(const char* name, std::size_t name_len, const char* relative,
                              std::size_t relative_len) const
{
    for (const std::string& p : names_) {
        if (wildcard_match(p.data(), p.size(), name, name_len))
            return true;
    }
    while (relative_len > 0 && relative[0] == '\\') {
        ++relative;
        --relative_len;
    }
    for (const std::string& p : paths_) {
        if (wildcard_match(p.data(), p.size(), relative, relative_len))
            return true;
    }
    return false;
}

bool parse_system_exclusion(const char* text, SystemExclusion& out)
{
    std::size_t from = 0, to = std::strlen(text);
    trim(text, from, to);
    out = SystemExclusion{};
    // " /s" (any case) after the path: its folders below count too.
    if (to - from >= 3 && text[to - 3] == ' ' && text[to - 2] == '/' && folded(text[to - 1]) == 'S') {
        out.subfolders = true;
        to -= 3;
        trim(text, from, to);
    }
    std::string path(text + from, to - from);
    std::size_t folder_len = folder_part_length(path.c_str(), path.size());
    if (folder_len == 0 || folder_len == path.size())
        return false;
    out.name = path.substr(folder_len);
    if (out.name == "*.*")
        out.name = "*";
    std::string key = folder_key(path.c_str(), folder_len);
    PathRoot root = path_root(path.c_str(), path.size());
    out.any_root = root.kind == RootKind::none;
    if (out.any_root && path[0] != '\\')
        return false;  // a relative folder names no place
    out.folder = key;
    return true;
}

void add_hive_exclusions(const char* hive_path, std::vector<SystemExclusion>& out)
{
    std::size_t len = std::strlen(hive_path);
    std::size_t folder_len = folder_part_length(hive_path, len);
    if (folder_len == 0 || folder_len == len || path_root(hive_path, len).kind == RootKind::none)
        return;
    std::string folder = folder_key(hive_path, folder_len);
    std::string name(hive_path + folder_len, len - folder_len);
    for (const char* suffix : {"", ".LOG*", "{*}.TM.blf", "{*}.TMContainer*.regtrans-ms"}) {
        SystemExclusion e;
        e.folder = folder;
        e.name = name + suffix;
        out.push_back(std::move(e));
    }
}

FolderExclusions::FolderExclusions(const std::vector<SystemExclusion>& all, const char* folder, std::size_t len)
{
    if (all.empty())
        return;
    std::string key = folder_key(folder, len);
    std::string below_root = after_root(key);
    for (const SystemExclusion& e : all) {
        const std::string& here = e.any_root ? below_root : key;
        bool in_it = here == e.folder;
        if (!in_it && !(e.subfolders && key_within(here, e.folder)))
            continue;
        if (e.whole_folder()) {
            whole_ = true;
            applying_.clear();
            return;
        }
        applying_.push_back(&e);
    }
}

bool FolderExclusions::leaves_out(const char* name, std::size_t len) const
{
    if (whole_)
        return true;
    for (const SystemExclusion* e : applying_) {
        if (wildcard_match(e->name.data(), e->name.size(), name, len))
            return true;
    }
    return false;
}

ListedKind listed_kind(unsigned long attributes, unsigned long reparse_tag)
{
    constexpr unsigned long kDirectory = 0x10, kReparsePoint = 0x400, kOffline = 0x1000;
    constexpr unsigned long kRecallOnOpen = 0x40000, kRecallOnDataAccess = 0x400000;
    constexpr unsigned long kNameSurrogate = 0x20000000;
    bool link = (attributes & kReparsePoint) != 0 && (reparse_tag == 0 || (reparse_tag & kNameSurrogate) != 0);
    if (attributes & kDirectory)
        return link ? ListedKind::folder_link : ListedKind::folder;
    if (attributes & (kOffline | kRecallOnOpen | kRecallOnDataAccess))
        return ListedKind::cloud_only_file;
    return link ? ListedKind::file_link : ListedKind::file;
}
