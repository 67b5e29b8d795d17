// The list file: one line per row, five cells each ended by ",".
#include <cstring>

#include "engine/backup_list.h"
#include "store/formats.h"

namespace {

bool needs_quotes(const char* cell)
{
    return std::strpbrk(cell, ",\"") != nullptr;
}

void append_cell(std::string& out, const char* cell)
{
    if (!needs_quotes(cell)) {
        out += cell;
    } else {
        // Neither "," nor '"' can be the second byte of a Shift-JIS
        // character, so quoting byte by byte is safe.
        out += '"';
        for (const char* p = cell; *p; ++p) {
            if (*p == '"')
                out += '"';
            out += *p;
        }
        out += '"';
    }
    out += ',';
}

// One field from `pos`: the text up to the next ",", or a quoted field
// ("..." with "" for a quote) directly followed by ",". Anything else that
// begins with '"' is read as the plain format reads it, so lists written
// before quoting existed read as they always did. Returns false when no
// comma ends the field (characters after the last comma form no field).
bool next_field(const char* line, std::size_t len, std::size_t& pos, std::string& field)
{
    field.clear();
    if (pos < len && line[pos] == '"') {
        std::string quoted;
        for (std::size_t i = pos + 1; i < len; ++i) {
            if (line[i] != '"') {
                quoted += line[i];
            } else if (i + 1 < len && line[i + 1] == '"') {
                quoted += '"';
                ++i;
            } else {
                if (i + 1 < len && line[i + 1] == ',') {
                    field.swap(quoted);
                    pos = i + 2;
                    return true;
                }
                break;
            }
        }
    }
    const void* comma = std::memchr(line + pos, ',', len - pos);
    if (!comma)
        return false;
    std::size_t end = static_cast<std::size_t>(static_cast<const char*>(comma) - line);
    field.assign(line + pos, end - pos);
    pos = end + 1;
    return true;
}

}  // namespace

std::string format_list_line(const char* const (&cells)[kListCells])
{
    std::string out;
    for (const char* cell : cells)
        append_cell(out, cell);
    out += "\r\n";
    return out;
}

std::string format_list(const BackupList& list)
{
    std::string out;
    int rows = list_row_count(list);
    for (int row = 0; row < rows; ++row) {
        char cells[kListCells][kFieldSize];
        const char* texts[kListCells];
        for (std::size_t c = 0; c < kListCells; ++c) {
            list_get_cell(list, row, static_cast<int>(c), cells[c]);
            texts[c] = cells[c];
        }
        out += format_list_line(texts);
    }
    return out;
}

bool parse_list_line(BackupList& list, int row, const char* line, std::size_t len)
{
    std::size_t pos = 0;
    std::string field;
    if (!next_field(line, len, pos, field) || field.empty() || field[0] == 0)
        return false;
    row = list_insert_row(list, row, field.c_str());
    for (int column = 1; column < static_cast<int>(kListCells); ++column) {
        if (!next_field(line, len, pos, field))
            break;
        if (!field.empty())
            list_set_cell(list, row, column, field.c_str());
    }
    return true;
}

void read_list(BackupList& list, const ByteSource& source)
{
    read_window_lines(kListWindow, source, [&](const char* line, std::size_t len) {
        parse_list_line(list, list_row_count(list), line, len);
        return true;
    });
}

std::string open_failure_text(const char* file_name)
{
    return std::string(file_name) + "のﾌｧｲﾙが開けません";
}
