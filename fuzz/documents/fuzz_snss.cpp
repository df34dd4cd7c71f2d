// Feeds arbitrary bytes to the Chromium session file replay.
#include "platform/linux/documents/snssreader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const SnssReader::Result result = SnssReader::read(input);
    // Every address comes out of the file's bytes, so there are never more than it holds.
    if (result.status != SnssReader::Status::read && !result.urls.isEmpty())
        std::abort();
    if (result.urls.size() > qsizetype(size))
        std::abort();
    return 0;
}
