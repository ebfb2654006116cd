#include "imaging/ui/ReasonText.h"

#include "imaging/FailureReason.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <vector>

namespace parvane::imaging {

namespace {

// The thousands separator of counts, as the catalogue gives it for the language.
struct SourceAndComment {
    const char* source;
    const char* comment;
};
constexpr SourceAndComment kSeparator =
    QT_TRANSLATE_NOOP3("Reason", ",", "thousands separator of counts such as 65,554");

struct CompiledPattern {
    const char* pattern;
    QRegularExpression match; // the whole reason, one capture per argument, in order
    std::vector<int> order;   // the argument number of each capture
};

const std::vector<CompiledPattern>& compiledPatterns() {
    static const std::vector<CompiledPattern> compiled = [] {
        std::vector<CompiledPattern> out;
        static const QRegularExpression argument(QStringLiteral("%([1-9])"));
        for (const char* pattern : reasons::allPatterns()) {
            // The level reader's fragments are matched as the sentences they are shown as.
            const QString text = QString::fromStdString(reasons::sentence(pattern));
            QString expression = QStringLiteral("^");
            std::vector<int> order;
            qsizetype from = 0;
            for (const QRegularExpressionMatch& m : argument.globalMatch(text)) {
                expression += QRegularExpression::escape(text.mid(from, m.capturedStart() - from));
                expression += QStringLiteral("(.+?)");
                order.push_back(m.captured(1).toInt());
                from = m.capturedEnd();
            }
            expression += QRegularExpression::escape(text.mid(from)) + QStringLiteral("$");
            out.push_back({pattern, QRegularExpression(expression), std::move(order)});
        }
        return out;
    }();
    return compiled;
}

// A count grouped by commas in the core ("65,554") takes the language's separator.
QString localisedArgument(const QString& argument) {
    static const QRegularExpression count(QStringLiteral("^\\d{1,3}(,\\d{3})+$"));
    if (!count.match(argument).hasMatch())
        return argument;
    QString out = argument;
    return out.replace(
        QLatin1Char(','),
        QCoreApplication::translate(kReasonContext, kSeparator.source, kSeparator.comment));
}

} // namespace

QString reasonText(const std::string& english) {
    const QString text = QString::fromStdString(english);
    for (const CompiledPattern& p : compiledPatterns()) {
        const QRegularExpressionMatch m = p.match.match(text);
        if (!m.hasMatch())
            continue;
        const QString translated = QCoreApplication::translate(kReasonContext, p.pattern);
        // Put each argument where the translation has its number, in one pass, so that an
        // argument holding "%2" is never taken for a place.
        QString out;
        for (qsizetype i = 0; i < translated.size(); ++i) {
            if (translated[i] == QLatin1Char('%') && i + 1 < translated.size() &&
                translated[i + 1].isDigit()) {
                const int number = translated[i + 1].digitValue();
                for (std::size_t k = 0; k < p.order.size(); ++k)
                    if (p.order[k] == number) {
                        out += localisedArgument(m.captured(static_cast<int>(k) + 1));
                        break;
                    }
                ++i;
                continue;
            }
            out += translated[i];
        }
        return QString::fromStdString(reasons::sentence(out.toStdString()));
    }
    return text;
}

} // namespace parvane::imaging
