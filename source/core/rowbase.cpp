#include "rowbase.h"

std::array<quint16, 192> rowBaseTable{};

void buildRowBaseTable()
{
    // Every picture state builds the table; its values never change, so it
    // is written once, which also keeps pictures on other threads (the
    // command-line renderer's workers) from writing it while it is read.
    static const bool built = [] {
        int n = 0;
        for (int third = 0; third <= 80; third += 40)
            for (int group = 0; group <= 896; group += 128)
                for (int line = 0; line <= 7168; line += 1024)
                    rowBaseTable[size_t(n++)] = quint16(third + group + line);
        return true;
    }();
    Q_UNUSED(built);
}
