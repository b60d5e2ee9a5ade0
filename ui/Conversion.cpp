#include "ui/Conversion.h"

#include <limits>

namespace orvane {

Exception::Exception(const QString& message)
    : std::runtime_error(message.toStdString())
{ }

int StrToInt(const QString& text)
{
    const auto fail
        = [&text]() -> int { throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text)); };
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size()) return fail();
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return fail();
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1) return fail();
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return fail();
    return int(value);
}

}  // namespace orvane
