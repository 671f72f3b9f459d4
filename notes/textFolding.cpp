// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "textFolding.h"

#include <QChar>
#include <QList>
#include <QString>

#include <array>
#include <atomic>
#include <memory>

namespace notes::folding {

namespace {

// Qt folds case only character for character (QString::toCaseFolded leaves
// "ß" alone); its upper-casing, though, applies the full special casing
// ("ß" to "SS", "ﬁ" to "FI", "ΐ" to three characters). Going up and down
// twice and folding what is left gives every case-insensitively equal text
// the same form ("ẞ", "ß", "SS" and "ss" all become "ss").
QString foldedString(char32_t c)
{
    QString text = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D);
    for (int round = 0; round < 2; ++round)
        text = text.toUpper().toLower();
    return text.toCaseFolded().normalized(QString::NormalizationForm_D);
}

// The folded base bytes of the Basic Multilingual Plane, worked out on first
// use by whichever thread needs them; every thread works out the same value.
// Bit 31 says the entry is known, bits 24-26 how many bytes follow.
constexpr std::uint32_t known = 0x80000000u;
std::array<std::atomic<std::uint32_t>, 0x10000> &baseTable()
{
    static const auto table = std::make_unique<std::array<std::atomic<std::uint32_t>, 0x10000>>();
    return *table;
}

int computeBaseBytes(char32_t c, unsigned char *out)
{
    int length = 0;
    for (const char32_t part : foldedString(c).toUcs4()) {
        // Nothing in Unicode folds to more than three letters.
        if (isMark(part) || length == 3)
            continue;
        out[length++] = part < 0x80 ? static_cast<unsigned char>(part) : 0xFF;
    }
    return length;
}

} // namespace

bool isMark(char32_t c)
{
    return QChar::isMark(c);
}

void appendFolded(char32_t c, std::u32string &out)
{
    if (c < 0x80) {
        out.push_back(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return;
    }
    for (const char32_t part : foldedString(c).toUcs4()) {
        const int order = QChar::combiningClass(part);
        if (order == 0) {
            out.push_back(part);
            continue;
        }
        // Canonical order: a mark goes before the marks of a higher class
        // that came with an earlier character.
        std::size_t at = out.size();
        while (at > 0 && QChar::combiningClass(out[at - 1]) > order)
            --at;
        out.insert(out.begin() + std::ptrdiff_t(at), part);
    }
}

std::u32string folded(QStringView text)
{
    std::u32string out;
    out.reserve(std::size_t(text.size()));
    forEachCodePoint(text, [&](char32_t c) { appendFolded(c, out); });
    return out;
}

int baseBytes(char32_t c, unsigned char *out)
{
    if (c >= 0x10000)
        return computeBaseBytes(c, out);
    std::atomic<std::uint32_t> &entry = baseTable()[c];
    std::uint32_t value = entry.load(std::memory_order_relaxed);
    if (!(value & known)) {
        unsigned char bytes[3];
        const int length = computeBaseBytes(c, bytes);
        value = known | std::uint32_t(length) << 24;
        for (int i = 0; i < length; ++i)
            value |= std::uint32_t(bytes[i]) << (8 * i);
        entry.store(value, std::memory_order_relaxed);
    }
    const int length = int(value >> 24 & 7);
    for (int i = 0; i < length; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
    return length;
}

} // namespace notes::folding
