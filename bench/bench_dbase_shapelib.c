/* The baseline: every field of every record read as text through shapelib. */
#include <shapefil.h>
#include <string.h>

long long bench_shapelib_read_all(const char* path, long long* records)
{
    DBFHandle dbf = DBFOpen(path, "rb");
    if (!dbf)
        return -1;
    const int count = DBFGetRecordCount(dbf);
    const int fields = DBFGetFieldCount(dbf);
    long long total = 0;
    for (int r = 0; r < count; ++r) {
        if (DBFIsRecordDeleted(dbf, r))
            continue;
        for (int f = 0; f < fields; ++f) {
            const char* text = DBFReadStringAttribute(dbf, r, f);
            total += (long long)strlen(text);
        }
    }
    *records = count;
    DBFClose(dbf);
    return total;
}
