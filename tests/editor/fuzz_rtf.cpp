// libFuzzer target for the RTF reader and writer. Any input must read without a crash, write, and
// read back to a document that writes the same bytes again.
// Built and run by scripts/fuzz.sh [SECONDS] (clang, everything instrumented); by hand:
//   build-fuzz/fuzz/fuzz_rtf -dict=tests/editor/rtf.dict -max_len=16384 CORPUS_DIR tests/editor/seeds
// and keep what it finds as rows of the damaged-input tests in tst_rtf.cpp.

#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"
#include "tests/support/fuzzapplication.h"

#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!RtfReader::isRtf(input))
        input = "{\\rtf1 " + input;
    QTextDocument document;
    RtfReader::read(input, &document);
    const QByteArray once = RtfWriter::write(&document);
    QTextDocument again;
    if (RtfReader::read(once, &again) != RtfReader::Status::Ok)
        std::abort();
    if (RtfWriter::write(&again) != once)
        std::abort();
    return 0;
}
