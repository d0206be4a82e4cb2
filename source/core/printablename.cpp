#include "printablename.h"

#include <algorithm>
#include <iterator>

namespace {

struct Escape {
    char16_t character;
    char letter;
};

constexpr Escape kEscapes[] = {
    {u'\\', '\\'}, {u'\a', 'a'}, {u'\b', 'b'}, {u'\t', 't'}, {u'\n', 'n'}, {u'\v', 'v'}, {u'\f', 'f'}, {u'\r', 'r'},
};

bool breaksLine(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line
           || category == QChar::Separator_Paragraph;
}

} // namespace

QString printableName(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("\"\"");
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                         [c](const Escape &e) { return e.character == c.unicode(); });
        if (escape != std::end(kEscapes)) {
            out += QLatin1Char('\\');
            out += QLatin1Char(escape->letter);
        } else if (breaksLine(c)) {
            for (const char byte : QString(c).toUtf8())
                out += QStringLiteral("\\%1").arg(uint(uchar(byte)), 3, 8, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}
