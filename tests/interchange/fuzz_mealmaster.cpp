// Feeds arbitrary bytes to the MealMaster reader, whole and cut into chunks at a point the input
// chooses, and builds the body of every recipe read: nothing may crash, and both ways of feeding
// must give the same recipes.

#include "interchange/mealmasterbody.h"
#include "interchange/mealmasterreader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto encoding = size > 0 ? MealMasterReader::Encoding(data[0] % 4) : MealMasterReader::Encoding::Auto;

    QList<QByteArray> whole;
    MealMasterReader::readAll(
        input, encoding, [&](MealMasterRecipe &&recipe) { whole << MealMasterBody(recipe); },
        [&](MealMasterReject &&reject) { whole << reject.original; });

    MealMasterReader::AutoDetector detector;
    detector.feed(input);
    const auto used = encoding == MealMasterReader::Encoding::Auto ? detector.result() : encoding;
    QList<QByteArray> chunked;
    MealMasterReader reader(
        used, [&](MealMasterRecipe &&recipe) { chunked << MealMasterBody(recipe); },
        [&](MealMasterReject &&reject) { chunked << reject.original; });
    const size_t cut = size > 1 ? data[1] % size : 0;
    reader.feed(input.first(qsizetype(cut)));
    reader.feed(input.sliced(qsizetype(cut)));
    reader.finish();
    if (whole != chunked)
        std::abort();
    return 0;
}
