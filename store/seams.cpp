#include "store/seams.h"

StoreSeams& store_seams()
{
    static StoreSeams the_seams;
    return the_seams;
}
