// The status texts of the copies' results, as the list's status columns
// and quillsave.log show them.
#include "engine/copy_result.h"

const char* copy_result_text(int result)
{
    static const char* const texts[] = {"完", "読e", "作e", "書e", "終", "棚e"};
    if (result < copy_done || result > copy_folder_error)
        return "";
    return texts[result];
}
