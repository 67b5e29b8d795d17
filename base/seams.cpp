#include "base/seams.h"

BaseSeams& base_seams()
{
    static BaseSeams the_seams;
    return the_seams;
}
