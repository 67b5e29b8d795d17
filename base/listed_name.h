// Names the file system gives in UTF-16, as this ANSI program can use them.
// Code page 932 holds no é, no Hangul and no emoji: converted, such a name
// comes out with a best-fit letter (café.txt as cafe.txt, the name of
// another file or of none) or with "?" (한국 as ??, a wildcard). Such an
// item is reached by its short 8.3 name instead, or not at all. No
// operating system here, so the rule is tested natively.
#pragma once
#include "base/text.h"

// One UTF-16 name converted to code page 932 without best-fit letters.
struct NameConversion {
    const char* text;   // the converted bytes, "?" for a character it lacks; "" when it failed
    bool used_default;  // the conversion put in its default character
    bool same_back;     // converting the text back gives the UTF-16 name again
};

// Whether the converted text names exactly the item: nothing put in, the
// same name back, within 259 bytes, and no "?" or "*".
bool held_exactly(const NameConversion& name);

enum class NameReach {
    own_name,    // the item's own name, held exactly
    short_name,  // its 8.3 name: the own name cannot be held
    none,        // neither name can be held: the item cannot be reached
};

// The name an item is listed under: its own name when held exactly, else its
// short name when that is held exactly, else a text with at least one "?"
// that is_unreachable_name recognises and that is never used as a path.
NameReach reach_name(char (&out)[kFieldSize], const NameConversion& own, const NameConversion& short_name);

// Whether a name or path holds "?" or "*": no file or folder of Windows can
// be named so, so it is an item that could not be reached. Neither byte can
// be the second byte of a Shift-JIS character (those are 0x40 and above).
bool is_unreachable_name(const char* text);
