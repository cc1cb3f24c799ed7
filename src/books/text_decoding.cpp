#include "books/text_decoding.h"

#include "platform/codepage.h"

#include <QStringDecoder>

#include <uchardet.h>

#include <array>
#include <memory>

namespace {

// The Russian code pages tried when a guess fails, most common first.
constexpr std::array<const char*, 3> russianPages = {"windows-1251", "KOI8-R", "IBM866"};

bool isRussianPage(const QByteArray& name) {
    static const std::array<const char*, 7> names = {
        "WINDOWS-1251", "KOI8-R", "IBM866", "ISO-8859-5", "MAC-CYRILLIC", "IBM855", "KOI8-U"};
    const QByteArray upper = name.toUpper();
    for (const char* n : names) {
        if (upper == n)
            return true;
    }
    return false;
}

// Enough of a text to tell its encoding: libuchardet's guess (it takes about
// half a millisecond a kilobyte) and the check of the guess by decoding.
constexpr qsizetype guessBytes = 32 * 1024;
constexpr qsizetype sampleBytes = 256 * 1024;

QByteArray guessEncoding(const QByteArray& bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), uchardet_delete);
    if (!detector)
        return {};
    if (uchardet_handle_data(detector.get(), bytes.constData(),
                             static_cast<size_t>(bytes.size())) != 0)
        return {};
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get()));
}

// How well a decoding reads as Russian: the share of the ten most common
// Russian small letters among all characters beyond ASCII. A wrong Russian
// code page turns them into capitals, other letters or symbols.
double russianScore(QStringView text) {
    static constexpr std::u16string_view common = u"оеаинтсрвл";
    qsizetype beyondAscii = 0;
    qsizetype hits = 0;
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            continue;
        ++beyondAscii;
        if (common.find(c.unicode()) != std::u16string_view::npos)
            ++hits;
    }
    return beyondAscii == 0 ? 0.0 : double(hits) / double(beyondAscii);
}

// Control characters that no text file holds, and the replacement character
// a decoder puts for bytes it cannot read.
bool decodesCleanly(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0xFFFD || (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f') ||
            (u >= 0x80 && u < 0xA0))
            return false;
    }
    return true;
}

// Whether the bytes look like UTF-16 without a byte-order mark: many zero
// bytes, nearly all on one side of the pairs. Returns "UTF-16LE",
// "UTF-16BE" or nothing.
QByteArray utf16WithoutMark(const QByteArray& bytes) {
    const qsizetype n = qMin<qsizetype>(bytes.size(), 64 * 1024) & ~qsizetype(1);
    if (n < 4)
        return {};
    qsizetype evenZeros = 0;
    qsizetype oddZeros = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        evenZeros += bytes[i] == 0;
        oddZeros += bytes[i + 1] == 0;
    }
    const qsizetype pairs = n / 2;
    if (oddZeros * 10 >= pairs && evenZeros * 50 <= oddZeros)
        return "UTF-16LE";
    if (evenZeros * 10 >= pairs && oddZeros * 50 <= evenZeros)
        return "UTF-16BE";
    return {};
}

// The encoding of a text that is not UTF-8, chosen on a sample of it.
QByteArray chooseEncoding(const QByteArray& sample) {
    const QByteArray guess = guessEncoding(sample.left(guessBytes));
    std::optional<QString> guessed;
    if (!guess.isEmpty() && guess != "UTF-8" && guess != "ASCII")
        guessed = decodeStrictly(sample, guess);
    if (guessed && !decodesCleanly(*guessed))
        guessed.reset();

    // The best-reading Russian code page, to check the guess against.
    QByteArray best;
    double bestScore = -1;
    for (const char* page : russianPages) {
        const std::optional<QString> text = decodeStrictly(sample, page);
        if (!text)
            continue;
        const double score = russianScore(*text) - (decodesCleanly(*text) ? 0.0 : 0.5);
        if (score > bestScore) {
            bestScore = score;
            best = page;
        }
    }
    if (guessed) {
        const double score = russianScore(*guessed);
        // A Russian guess stands unless another page reads clearly better; a
        // guess of another language stands unless the text is plainly Russian.
        const bool stands = isRussianPage(guess) ? score >= bestScore - 0.05
                                                 : bestScore < 0.4 || score >= bestScore;
        if (stands) {
            for (const char* page : russianPages) {
                if (guess.compare(page, Qt::CaseInsensitive) == 0)
                    return page;
            }
            return guess;
        }
    }
    return best.isEmpty() ? QByteArray("ISO-8859-1") : best;
}

} // namespace

QByteArray byteOrderMark(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return "UTF-8";
    if (bytes.startsWith("\xFF\xFE"))
        return "UTF-16LE";
    if (bytes.startsWith("\xFE\xFF"))
        return "UTF-16BE";
    return {};
}

std::optional<QString> decodeStrictly(const QByteArray& bytes, const QByteArray& encoding) {
    QStringDecoder decoder(encoding.constData());
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

DecodedText decodePlainText(const QByteArray& bytes) {
    QByteArray encoding = byteOrderMark(bytes);
    if (encoding.isEmpty())
        encoding = utf16WithoutMark(bytes);
    if (!encoding.isEmpty()) {
        // A mark, or the zero bytes, decide; what does not decode becomes
        // the replacement character.
        QStringDecoder decoder(encoding.constData());
        return {decoder.decode(bytes), encoding};
    }
    // The start tells most texts that are not UTF-8 without decoding all.
    if (decodeStrictly(bytes.left(sampleBytes), "UTF-8")) {
        if (std::optional<QString> utf8 = decodeStrictly(bytes, "UTF-8"))
            return {std::move(*utf8), "UTF-8"};
    }
    // A few damaged bytes in a UTF-8 text become U+FFFD, as in the settings.
    if (mostlyUtf8(bytes))
        return {QStringDecoder(QStringDecoder::Utf8).decode(bytes), "UTF-8"};
    const QByteArray chosen = chooseEncoding(bytes.left(sampleBytes));
    QStringDecoder decoder(chosen.constData());
    if (!decoder.isValid())
        return {QString::fromLatin1(bytes), "ISO-8859-1"};
    return {decoder.decode(bytes), chosen};
}

bool looksLikeText(const QByteArray& bytes) {
    if (!byteOrderMark(bytes).isEmpty() || !utf16WithoutMark(bytes).isEmpty())
        return true;
    const qsizetype n = qMin<qsizetype>(bytes.size(), 64 * 1024);
    qsizetype controls = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0)
            return false;
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f')
            ++controls;
    }
    return controls * 100 <= n;
}

QString withLineFeeds(QString text) {
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QChar* out = text.data();
    const QChar* in = out;
    const QChar* end = in + text.size();
    QChar* write = out;
    while (in != end) {
        const QChar c = *in++;
        if (c == QLatin1Char('\r')) {
            *write++ = QLatin1Char('\n');
            if (in != end && *in == QLatin1Char('\n'))
                ++in;
        } else {
            *write++ = c;
        }
    }
    text.truncate(write - out);
    return text;
}
