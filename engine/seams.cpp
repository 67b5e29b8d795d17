#include "engine/seams.h"

EngineSeams& engine_seams()
{
    static EngineSeams the_seams;
    return the_seams;
}
