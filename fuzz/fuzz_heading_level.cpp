// Bytes -> one word -> sectionLevel, compared with a separate reference.
// The first byte picks how the rest becomes UTF-16: as UTF-8 (easy for the
// mutator to reach digits and dots) or as raw UTF-16 code units (lone
// surrogates, non-ASCII digits such as U+0663).

#include "fuzzsupport.h"
#include "referencelevel.h"
#include "headingparser.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool raw = data[0] & 1;
    ++data;
    --size;
    QString word;
    if (raw) {
        word.resize(qsizetype(size / 2));
        for (size_t i = 0; i < size / 2; ++i)
            word[qsizetype(i)] = QChar(char16_t(data[2 * i] | data[2 * i + 1] << 8));
    } else {
        word = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    }

    const int level = sectionLevel(word);
    FUZZ_CHECK(level >= 0 && level <= word.size());
    FUZZ_CHECK(level == fuzz::referenceLevel(word));
    // A word that passes must start with an ASCII digit and be short enough.
    if (level > 0)
        FUZZ_CHECK(word.size() <= 255 && word[0] >= u'0' && word[0] <= u'9');
    return 0;
}
