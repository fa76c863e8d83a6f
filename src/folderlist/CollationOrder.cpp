#include "folderlist/CollationOrder.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <bit>
#include <random>

namespace velmaro {

namespace {

constexpr int kSlots = 9;  // weights in a chunk, 7 bits each, below them 1 bit "full"
constexpr int kSlotBits = 7;
constexpr quint64 kSlotMask = 0x7f;

int shiftOf(int slot)
{
    return kSlotBits * (kSlots - 1 - slot) + 1;
}

// Characters whose primary weights are derived: printable ASCII, the
// Latin-1 letters and the Russian alphabet, without those that expand to two different weights in
// common collations (æ, þ) and eth; ß is tried as "ss" on its own.
QString candidates()
{
    static const QString excluded = QStringLiteral("\u00d7\u00f7\u00df\u00c6\u00e6\u00de\u00fe\u00d0\u00f0");
    QString chars;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        chars += QChar(c);
    for (char16_t c = 0xc0; c <= 0xff; ++c) {
        if (!excluded.contains(QChar(c)))
            chars += QChar(c);
    }
    for (char16_t c = 0x410; c <= 0x44f; ++c)  // Cyrillic А..я
        chars += QChar(c);
    chars += QChar(0x401);  // Ё
    chars += QChar(0x451);  // ё
    return chars;
}

}  // namespace

CollationOrder::CollationOrder()
    : collator_(QLocale())
{
    codeUnits_ = collator_.locale().language() == QLocale::C;
    weights_.fill(kUnknown);
    deriveWeights();
    fast_ = checkWeights();
}

// Sorts the candidates by the collator and groups those that differ only
// below primary level (case, accents): x and y share a primary weight when
// "xb" > "ya" and "yb" > "xa".
void CollationOrder::deriveWeights()
{
    QString chars = candidates();
    std::stable_sort(chars.begin(), chars.end(), [this](QChar x, QChar y) {
        return collator_.compare(QStringView(&x, 1), QStringView(&y, 1)) < 0;
    });
    const auto samePrimary = [this](const QString& x, const QString& y) {
        return collator_.compare(x + u'b', y + u'a') > 0 && collator_.compare(y + u'b', x + u'a') > 0;
    };
    quint8 next = 1;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        if (i > 0 && !samePrimary(chars[i - 1], chars[i]))
            ++next;
        if (next >= kUnknown) {
            weights_.fill(kUnknown);  // more classes than a slot holds: stay slow
            return;
        }
        weights_[chars[i].unicode()] = next;
    }
    const QChar sharpS(0xdf);
    if (samePrimary(QString(sharpS), QStringLiteral("ss"))) {
        weights_[sharpS.unicode()] = weights_['s'];
        twice_[sharpS.unicode()] = true;
    }
}

namespace {

int sign(int v)
{
    return (v > 0) - (v < 0);
}

}  // namespace

// Compares the fast order with the collator; any difference switches the
// fast path off.
bool CollationOrder::checkWeights() const
{
    CollationOrder probe = *this;
    probe.fast_ = true;
    return probe.agreesOnLetterPairs() && probe.agreesOnRandomTexts();
}

// Letter pairs in the collator's order: a contraction ("ch" in Czech, "aa"
// in Danish) puts a pair where single weights cannot.
bool CollationOrder::agreesOnLetterPairs() const
{
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz\u00e4\u00f6\u00fc\u00e5AZ");
    QStringList pairs;
    for (QChar x : letters) {
        for (QChar y : letters)
            pairs.append(QString(x) + y);
    }
    std::sort(pairs.begin(), pairs.end(),
              [this](const QString& a, const QString& b) { return collator_.compare(a, b) < 0; });
    for (qsizetype i = 1; i < pairs.size(); ++i) {
        if (sign(compare(pairs[i - 1], pairs[i])) != sign(collator_.compare(pairs[i - 1], pairs[i])))
            return false;
    }
    return true;
}

bool CollationOrder::agreesOnRandomTexts() const
{
    const QString chars = candidates() + QChar(0xdf) + QStringLiteral("ssss\u00df\u00df");
    std::mt19937 random(1440);
    std::uniform_int_distribution<qsizetype> pick(0, chars.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    auto make = [&](const QString& start) {
        QString text = start;
        for (int n = length(random); n > 0; --n)
            text += chars[pick(random)];
        return text;
    };
    for (int i = 0; i < 4000; ++i) {
        const QString common = i % 2 ? make(QString()) : QString();
        const QString a = make(common);
        const QString b = i % 3 ? make(common) : make(a);
        const int truth = sign(collator_.compare(a, b));
        if (sign(compare(a, b)) != truth)
            return false;
        const quint64 pa = prefix(a), pb = prefix(b);
        if (pa != pb && prefixDecides(pa, pb) && (pa < pb ? -1 : 1) != truth)
            return false;
    }
    return true;
}

quint8 CollationOrder::next(QStringView text, Cursor& at) const
{
    if (at.index >= text.size())
        return kEnd;
    const QChar c = text[at.index];
    const quint8 w = weight(c);
    if (w == kUnknown)
        return w;
    // A character outside the set may combine with the one before it (a
    // combining mark makes "o" an "ö", a letter of its own in some locales).
    if (at.index + 1 < text.size() && weight(text[at.index + 1]) == kUnknown)
        return kUnknown;
    if (c.unicode() < twice_.size() && twice_[c.unicode()] && !at.second) {
        at.second = true;
        return w;
    }
    at.second = false;
    ++at.index;
    return w;
}

int CollationOrder::compare(QStringView a, QStringView b, qsizetype from) const
{
    return compare(a, Cursor{from, false}, b, Cursor{from, false});
}

int CollationOrder::compare(QStringView a, Cursor at, QStringView b, Cursor bt) const
{
    if (fast_) {
        for (;;) {
            const quint8 wa = next(a, at);
            const quint8 wb = next(b, bt);
            if (wa == kUnknown || wb == kUnknown || (wa == kEnd && wb == kEnd))
                break;
            if (wa != wb)
                return wa < wb ? -1 : 1;
        }
    }
    return collator_.compare(a, b);
}

// The hot loop of sorting: next() unrolled over one chunk, each character's
// weight looked up once (it is also the look-ahead of the one before).
quint64 CollationOrder::chunk(QStringView text, Cursor& at) const
{
    if (!fast_)
        return 0;  // equal chunks: the collator decides
    const char16_t* chars = text.utf16();
    const qsizetype size = text.size();
    const auto weightAt = [&](qsizetype i) -> quint8 {
        return i >= size ? kEnd : chars[i] < weights_.size() ? weights_[chars[i]] : kUnknown;
    };
    quint64 packed = 0;
    qsizetype i = at.index;
    bool second = at.second;
    quint8 here = weightAt(i);
    for (int slot = 0; slot < kSlots; ++slot) {
        quint8 w = here;
        const quint8 after = weightAt(i + 1);
        if (w != kEnd && w != kUnknown && after == kUnknown && i + 1 < size)
            w = kUnknown;  // may combine with the unknown character after it
        packed |= quint64(w) << shiftOf(slot);
        if (w == kEnd || w == kUnknown) {
            at = Cursor{i, second};
            return packed;  // the slots after it stay 0
        }
        if (twice_[chars[i]] && !second) {
            second = true;
            continue;
        }
        second = false;
        ++i;
        here = after;
    }
    at = Cursor{i, second};
    return packed | 1;
}

bool CollationOrder::prefixDecides(quint64 a, quint64 b)
{
    const int slot = std::countl_zero(a ^ b) / kSlotBits;
    if (slot >= kSlots)
        return false;  // only the "full" marks differ
    const quint64 wa = (a >> shiftOf(slot)) & kSlotMask;
    const quint64 wb = (b >> shiftOf(slot)) & kSlotMask;
    return wa != kUnknown && wb != kUnknown;
}

bool CollationOrder::appendWeights(QStringView text, std::string& out) const
{
    if (!fast_)
        return false;
    Cursor at;
    for (;;) {
        const quint8 w = next(text, at);
        if (w == kEnd)
            return true;
        if (w == kUnknown)
            return false;
        out.push_back(char(w));
    }
}

bool CollationOrder::appendAsciiWeights(const char* text, std::size_t length, std::string& out) const
{
    if (!fast_)
        return false;
    const std::size_t at = out.size();
    out.resize(at + length);
    for (std::size_t i = 0; i < length; ++i) {
        const quint8 w = weights_[quint8(text[i])];
        if (w == kUnknown)
            return false;  // an unknown character after a known one: unknown too
        out[at + i] = char(w);
    }
    return true;
}

quint8 CollationOrder::separatorWeight() const
{
    const quint8 slash = weight(QChar(u'/'));
    if (!fast_ || slash == kUnknown)
        return 0;
    return std::count(weights_.begin(), weights_.end(), slash) == 1 ? slash : 0;
}

qsizetype CollationOrder::knownPrefixLength(QStringView text) const
{
    if (!fast_)
        return 0;
    qsizetype n = 0;
    while (n < text.size() && weight(text[n]) != kUnknown && !twice_[text[n].unicode()])
        ++n;
    return n;
}

}  // namespace velmaro
