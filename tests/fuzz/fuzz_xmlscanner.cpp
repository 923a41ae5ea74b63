// The scanner of the large workbook parts (sheets/XmlScanner.h) on any bytes: elements
// end in the order they start, an element whose text is read is ended by it, and a
// document ends with all its elements ended or else with an error.

#include "FuzzCheck.h"
#include "sheets/XmlScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XmlScanner xml(FuzzBytes(data, size));
    int depth = 0;
    for (XmlScanner::Token token = xml.next(); token != XmlScanner::EndDocument; token = xml.next()) {
        if (token == XmlScanner::Invalid) {
            FUZZ_CHECK(xml.hasError() && !xml.errorString().isEmpty());
            return 0;
        }
        FUZZ_CHECK(!xml.hasError());
        if (token == XmlScanner::EndElement) {
            FUZZ_CHECK(--depth >= 0);
        } else if (xml.name() == "t" || xml.name() == "v") {
            const QByteArrayView text = xml.readElementText(xml.name() == "t");
            xml.decode(text);
            if (xml.hasError())
                return 0;
        } else {
            ++depth;
        }
    }
    FUZZ_CHECK(depth == 0 && !xml.hasError());
    return 0;
}
