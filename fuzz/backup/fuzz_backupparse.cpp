// libFuzzer entry over the backup reader: any bytes give workspaces or a reason,
// never a crash, and whatever is accepted survives writing and reading again.
#include "model/backup/backupfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const BackupParseResult first = BackupFile::parse(bytes);
    if (!first.ok()) {
        // A refusal always says why and never hands out half a file.
        if (first.error.isEmpty() || !first.workspaces.isEmpty())
            std::abort();
        return 0;
    }
    // The export would write exactly this; it must read back and write the
    // same text again, or a backup could change or be refused on import.
    const QByteArray written = BackupFile::serialize(first.workspaces);
    const BackupParseResult second = BackupFile::parse(written);
    if (!second.ok() || second.workspaces.size() != first.workspaces.size())
        std::abort();
    if (BackupFile::serialize(second.workspaces) != written)
        std::abort();
    return 0;
}
