// The test seams of base/: one record, reached by base_seams(), whose
// default values are the program's behaviour. Only tests and the fault
// suite's program (app/test_seams.cpp) change them, before the threads that
// read them start; a test puts the record back to BaseSeams{} at its end.
#pragma once
#include <string>

// Listed items given attributes Wine keeps none of.
struct ListedMarks {
    std::wstring name_part;  // empty: no item is marked
    unsigned long attributes = 0;
    unsigned long reparse_tag = 0;
};

struct BaseSeams {
    // While set, every item is listed as if its volume kept no short names.
    bool hide_short_names = false;
    // Every item whose name contains marks.name_part is listed with these
    // attributes added and this reparse tag, as a cloud client's
    // placeholders are listed on Windows.
    ListedMarks marks;
    // While 0 or more, every listing ends after that many items as if
    // FindNextFileW had failed with fail_listing_code, as a share's hiccup
    // ends it.
    int fail_listings_after = -1;
    unsigned long fail_listing_code = 0;
};

BaseSeams& base_seams();
