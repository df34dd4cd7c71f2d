// Feeds arbitrary bytes to the mozlz4 decoder and the Firefox session reader.
#include "platform/linux/documents/firefoxsession.h"
#include "platform/linux/documents/mozlz4.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // As a whole file, and as the JSON inside one.
    if (const std::optional<QByteArray> decoded = MozLz4::decode(input))
        FirefoxSession::tabUrls(*decoded);
    FirefoxSession::tabUrls(input);
    // Whatever is encoded must decode to itself.
    const std::optional<QByteArray> roundTrip = MozLz4::decode(MozLz4::encode(input));
    if (!roundTrip || *roundTrip != input)
        std::abort();
    return 0;
}
