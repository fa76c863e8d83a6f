#pragma once
// Fast text comparison in the collation order of the default locale
// (QLocale(), German in the tests), with the same result as QCollator.
//
// Most comparisons are decided by the first difference of primary weights
// (letters without case and accents, digits, common punctuation, Cyrillic;
// "ß" as two "s"). The weights of a set of common characters are derived from the
// locale's collator at construction and checked against it on generated
// texts; where the check fails (a locale with contractions, for example)
// every comparison goes to the collator. A comparison that meets a character
// outside the set, or two texts equal at primary level, is decided by the
// collator as well. So the result is always the collator's.

#include <QCollator>
#include <QString>
#include <QStringView>
#include <array>
#include <string>

namespace velmaro {

class CollationOrder {
public:
    // A position in a text's sequence of primary weights.
    struct Cursor {
        qsizetype index = 0;
        bool second = false;  // inside a character with two weights
    };

    CollationOrder();

    // <0, 0, >0 as QCollator::compare. `from`: characters at the start that
    // are the same in both texts and known (see knownPrefixLength).
    int compare(QStringView a, QStringView b, qsizetype from = 0) const;
    // The same, the weights before the cursors being equal.
    int compare(QStringView a, Cursor at, QStringView b, Cursor bt) const;
    // The next up to 9 weights from `at`, packed into a number; moves `at`
    // past them. Two chunks order their texts when prefixDecides says so.
    quint64 chunk(QStringView text, Cursor& at) const;
    quint64 prefix(QStringView text, qsizetype from = 0) const
    {
        Cursor at{from, false};
        return chunk(text, at);
    }
    // For two different chunks taken at equal positions: true when their
    // order is the texts' order.
    static bool prefixDecides(quint64 a, quint64 b);
    // True when the chunk holds 9 weights (the texts may differ later).
    static bool isFull(quint64 chunk) { return (chunk & 1) != 0; }
    // Appends the primary weights of `text` to `out`, one byte each (never 0),
    // so that comparing the bytes compares the texts at primary level. False
    // when a weight is not known (the collator must decide).
    bool appendWeights(QStringView text, std::string& out) const;
    // The same for a text of ASCII characters only (bytes below 0x80).
    bool appendAsciiWeights(const char* text, std::size_t length, std::string& out) const;
    // The weight of '/' when no other known character shares it, else 0.
    quint8 separatorWeight() const;
    // Length of the longest start of `text` made of known characters only.
    qsizetype knownPrefixLength(QStringView text) const;
    // False when the check of the derived weights failed.
    bool fast() const { return fast_; }
    // True for the C locale: the collator compares UTF-16 code units.
    bool codeUnitOrder() const { return codeUnits_; }
    const QCollator& collator() const { return collator_; }

private:
    static constexpr quint8 kUnknown = 127;  // not in the set: ask the collator
    static constexpr quint8 kEnd = 0;        // end of the text
    quint8 weight(QChar c) const { return c.unicode() < weights_.size() ? weights_[c.unicode()] : kUnknown; }
    quint8 next(QStringView text, Cursor& at) const;
    void deriveWeights();
    bool checkWeights() const;
    bool agreesOnLetterPairs() const;
    bool agreesOnRandomTexts() const;

    QCollator collator_;
    std::array<quint8, 0x460> weights_{};  // Latin-1 and Cyrillic
    std::array<bool, 0x460> twice_{};      // characters with two equal weights (ß)
    bool fast_ = false;
    bool codeUnits_ = false;
};

}  // namespace velmaro
