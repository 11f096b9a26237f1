// Fuzz target: the number parsers of the settings fields and of the settings files.
// Invariants: a real field never accepts a non-finite value or one outside its bounds; the text a
// field is rewritten with reads back as the same float32; the text written for any finite float32
// reads back as exactly that float32; the whole-number readers give numbers that read back the same
// from their decimal text; the field check agrees with the reader and the bounds.

#include "FuzzCheck.h"

#include "display/core/NumberFormat.h"
#include "settings/profile/ProfileValues.h"
#include "settings/validation/FieldValidation.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qmx;
    using namespace qmx::settings;
    FuzzedDataProvider provider(data, size);
    const display::NumberLocale locale = provider.ConsumeBool() ? display::NumberLocale{u',', u'\u00A0'}
                                                                : display::NumberLocale::c();
    const int decimals = provider.ConsumeIntegralInRange(0, 4);
    float lower = provider.ConsumeFloatingPoint<float>();
    float upper = provider.ConsumeFloatingPoint<float>();
    if (lower > upper) {
        std::swap(lower, upper);
    }
    const float any = provider.ConsumeFloatingPoint<float>();
    const std::int32_t intLower = provider.ConsumeIntegral<std::int32_t>();
    const std::int32_t intUpper = provider.ConsumeIntegral<std::int32_t>();
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QString text = fuzz::textOf(rest);

    // Real fields.
    const RealFieldResult real = ValidateRealField(text, decimals, lower, upper, locale);
    if (real.ok) {
        FUZZ_CHECK(std::isfinite(real.value));
        FUZZ_CHECK(real.value >= lower && real.value <= upper);
    }
    if (real.rewritten) {
        FUZZ_CHECK(std::isfinite(real.value));
        const RealFieldResult again = ValidateRealField(*real.rewritten, decimals, lower, upper, locale);
        FUZZ_CHECK(again.ok == real.ok && again.value == real.value);
        FUZZ_CHECK(again.rewritten == real.rewritten);
    } else {
        FUZZ_CHECK(!real.ok);
    }
    if (const auto parsed = display::parseReal(text, locale)) {
        FUZZ_CHECK(std::isfinite(*parsed));
        FUZZ_CHECK(display::parseUserReal(text, locale) == parsed || text.contains(u'.') || text.contains(u','));
    }
    if (const auto parsed = display::parseUserReal(text, locale)) {
        FUZZ_CHECK(std::isfinite(*parsed));
    }
    // Any finite float32 as a field, a file or a request writes it reads back exactly.
    if (std::isfinite(any)) {
        const QString written = settingText(any, kFieldPrecision, decimals, locale);
        const RealFieldResult back = ValidateRealField(written, decimals, -INFINITY, INFINITY, locale);
        FUZZ_CHECK(back.ok && back.value == any && std::signbit(back.value) == std::signbit(any));
        const auto general = display::parseReal(display::formatGeneral(static_cast<double>(any), locale), locale);
        FUZZ_CHECK(general && static_cast<float>(*general) == any);
    }

    // Whole numbers.
    const auto integer = StrToInt(text);
    if (integer) {
        FUZZ_CHECK(StrToInt(QString::number(*integer)) == integer);
    }
    const IntegerFieldResult field = ValidateIntegerField(text, intLower, intUpper);
    FUZZ_CHECK(field.ok == (integer && *integer >= intLower && *integer <= intUpper));
    if (field.ok) {
        FUZZ_CHECK(field.value == *integer);
    }
    if (const auto profileInteger = readIntegerText(text)) {
        FUZZ_CHECK(readIntegerText(integerText(*profileInteger)) == profileInteger);
        FUZZ_CHECK(readInteger(text, *profileInteger ^ 1) == *profileInteger);
    } else {
        FUZZ_CHECK(readInteger(text, 12345) == 12345);
    }
    return 0;
}
