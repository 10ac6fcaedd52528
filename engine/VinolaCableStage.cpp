#include "VinolaCableStage.h"

void VinolaCableStage::setTables (const float* contactTable, const float* dropoutTable) noexcept
{
    contact = contactTable;
    dropout = dropoutTable;
}

void VinolaCableStage::process (float*, int, float) noexcept {}
