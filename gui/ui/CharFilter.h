// Character filters for text fields that take a fixed set of characters.
//
// The filter runs before an edit reaches the field: a typed character the
// field does not take leaves text, selection and caret exactly as they were
// (a selected text is not replaced by nothing). Pasted or dropped text goes
// through the same filter: characters the field takes are kept (mapped, e.g.
// to upper case), the others dropped; a paste that brings nothing the field
// takes changes nothing either.
#pragma once

#include <QValidator>

#include <functional>

class QLineEdit;

namespace rm427::gui {

// The character a field keeps for a typed one, or QChar() when it takes none.
using CharMap = std::function<QChar(QChar)>;

class CharFilter : public QValidator {
    Q_OBJECT
public:
    // Installs itself as the validator of `edit` (and is owned by it).
    CharFilter(QLineEdit* edit, CharMap map);
    State validate(QString& input, int& pos) const override;

private:
    CharMap map_;
    // The text last let through: what an edit is compared with to find what
    // it brought in.
    mutable QString last_;
};

// Digits only.
QChar DigitChar(QChar c);
// Digits and ".".
QChar DecimalChar(QChar c);
// Frequencies: digits and "."; a "," (decimal comma keyboards) is taken as ".".
QChar FreqChar(QChar c);
// Characters a channel name (and the power-on message) can store, letters in
// upper case.
QChar NameChar(QChar c);

// Installs a CharFilter with `map` on `edit`.
void FilterChars(QLineEdit* edit, CharMap map);

}  // namespace rm427::gui
