#include "ui/CharFilter.h"

#include <QLineEdit>

#include "channels/ChannelRecord.h"

namespace rm427::gui {

CharFilter::CharFilter(QLineEdit* edit, CharMap map)
    : QValidator(edit), map_(std::move(map)), last_(edit->text()) {
    edit->setValidator(this);
}

QValidator::State CharFilter::validate(QString& input, int& pos) const {
    QString kept;
    kept.reserve(input.size());
    int keptPos = pos;
    for (int i = 0; i < input.size(); ++i) {
        const QChar m = map_(input[i]);
        if (!m.isNull()) kept += m;
        else if (i < pos) --keptPos;
    }
    if (kept != input) {
        // What did this edit bring in? The part between what it left of the
        // text before it.
        const int most = int(std::min(last_.size(), input.size()));
        int head = 0;
        while (head < most && last_[head] == input[head]) ++head;
        int tail = 0;
        while (tail < most - head && last_[last_.size() - 1 - tail] == input[input.size() - 1 - tail])
            ++tail;
        bool anyTaken = false;
        for (int i = head; i < input.size() - tail && !anyTaken; ++i)
            anyTaken = !map_(input[i]).isNull();
        if (!anyTaken) return Invalid;  // the field takes back what it had
        input = kept;
        pos = std::max(0, keptPos);
    }
    last_ = input;
    return Acceptable;
}

QChar DigitChar(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9' ? c : QChar(); }

QChar DecimalChar(QChar c) { return c == QLatin1Char('.') ? c : DigitChar(c); }

QChar FreqChar(QChar c) { return c == QLatin1Char(',') ? QChar('.') : DecimalChar(c); }

QChar NameChar(QChar c) {
    if (c.unicode() >= 0x80) return {};
    const QChar up = c.toUpper();
    return up.unicode() != 0 && NameCharCode(static_cast<char>(up.unicode())) != kNoNameChar ? up
                                                                                             : QChar();
}

void FilterChars(QLineEdit* edit, CharMap map) { new CharFilter(edit, std::move(map)); }

}  // namespace rm427::gui
