#include "rowbase.h"

std::array<quint16, 192> rowBaseTable{};

void buildRowBaseTable()
{
    int n = 0;
    for (int third = 0; third <= 80; third += 40)
        for (int group = 0; group <= 896; group += 128)
            for (int line = 0; line <= 7168; line += 1024)
                rowBaseTable[n++] = quint16(third + group + line);
}
