#include "picture.h"
#include "ui/display_field.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QScopeGuard>
#include <QtTest>

using Face = DisplayField::Face;
using Part = DisplayField::Part;
Q_DECLARE_METATYPE(Face)

namespace {

// The picture of the display field, in the main window's coordinates minus
// the field's origin.
QImage fieldPicture(MainWindow& form) {
    return picture::render(&form, DisplayField::designGeometry);
}

constexpr double tickCentre = DisplayField::tickX + 0.5 - DisplayField::designGeometry.left();

// The same picture with the tick marks' column painted white.
QImage withoutTicks(QImage image) {
    const int column = DisplayField::tickX - DisplayField::designGeometry.left();
    for (int y = 0; y < image.height(); ++y) {
        image.setPixel(column, y, qRgb(255, 255, 255));
    }
    return image;
}

} // namespace

class TestDisplayField : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void letterStandsOnTheTickMarks_data();
    void letterStandsOnTheTickMarks();
    void partsAreFlushAgainstTheLetter_data();
    void partsAreFlushAgainstTheLetter();
    void displayFontIsMonospaced_data();
    void displayFontIsMonospaced();
    void lineBreaksStayOnOneLine_data();
    void lineBreaksStayOnOneLine();
    void longWordsAreClippedWithoutRelayout();
    void longWordsAreDrawnSmallerToFit_data();
    void longWordsAreDrawnSmallerToFit();
    void markupIsShownAsText();
    void blackOnWhiteUnderAnyPalette_data();
    void blackOnWhiteUnderAnyPalette();
};

void TestDisplayField::letterStandsOnTheTickMarks_data() {
    QTest::addColumn<Face>("face");
    QTest::addColumn<bool>("small");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("rest");

    struct Word {
        const char16_t* left;
        char16_t letter;
        const char16_t* rest;
    };
    const Word words[] = {
        {u"", u'i', u""},    {u"М", u'i', u"ллион"}, {u"", u'l', u"ight"},    {u"ка", u'ш', u"а,"},
        {u"", u'Ж', u"ук"},  {u"", u'W', u"ord"},    {u"ко", u'm', u"puter"}, {u"", u'1', u"9:"},
        {u"", u'0', u"0"},   {u"", u'7', u""},       {u"де", u',', u""},      {u"", u'.', u""},
        {u"что", u'?', u""}, {u"из", u'-', u"за"},   {u"", u'Ⅷ', u" век"},    {u"", u'⁂', u""},
    };
    for (const auto& [faceName, face] : {std::pair{"A", Face::A}, std::pair{"B", Face::B}}) {
        for (const bool small : {false, true}) {
            for (const Word& word : words) {
                const QString left = QString::fromUtf16(word.left);
                const QString rest = QString::fromUtf16(word.rest);
                QTest::addRow("%s %s %s|%s|%s", faceName, small ? "small" : "large",
                              qPrintable(left), qPrintable(QString(QChar(word.letter))),
                              qPrintable(rest))
                    << face << small << left << QChar(word.letter) << rest;
            }
        }
    }
}

// The letter's cell stands centred on the tick marks, so the word stands on
// one grid whatever letter is red: the black ink of the word around a letter
// of the face's own width lies in the very columns it has around "Н", whose
// red ink is centred on the marks. A letter from a fallback face has a cell
// of its own width, centred the same way. The letter is never clipped.
void TestDisplayField::letterStandsOnTheTickMarks() {
    QFETCH(Face, face);
    QFETCH(bool, small);
    QFETCH(QString, left);
    QFETCH(QChar, letter);
    QFETCH(QString, rest);

    MainWindow form;
    form.setDisplayFont(face, small);
    // The columns of the black ink, tick marks and frame left out.
    const auto blackColumns = [&form] {
        const QImage image = withoutTicks(fieldPicture(form));
        QList<int> columns;
        for (int x = 2; x < image.width() - 2; ++x) {
            for (int y = 2; y < image.height() - 2; ++y) {
                if (picture::blackness(image.pixel(x, y)) > 100) {
                    columns.append(x);
                    break;
                }
            }
        }
        return columns;
    };
    form.showEntry(left, u'Н', rest);
    const picture::Ink grid = picture::ink(fieldPicture(form), picture::redness, 60);
    QVERIFY2(qAbs(grid.middle() - tickCentre) <= 1.0,
             qPrintable(QStringLiteral("red ink of Н from column %1 to %2, tick marks at %3")
                            .arg(grid.firstColumn)
                            .arg(grid.lastColumn)
                            .arg(tickCentre)));
    const QList<int> wordAroundEn = blackColumns();
    const QRect cellOfEn = form.displayField->partRect(Part::Letter);

    form.showEntry(left, letter, rest);
    QCOMPARE(form.displayField->letter(), letter);
    const QRect cell = form.displayField->partRect(Part::Letter);
    QVERIFY(qAbs(cell.left() + cell.width() / 2.0 - tickCentre) <= 0.5);
    const picture::Ink red = picture::ink(fieldPicture(form), picture::redness, 60);
    QVERIFY2(red.weight > 255 * 4, "the letter is not drawn in red");
    const QFontMetricsF metrics(form.displayField->entryFont());
    if (metrics.inFont(letter) &&
        metrics.horizontalAdvance(letter) == metrics.horizontalAdvance(u'Н')) {
        QCOMPARE(cell, cellOfEn);
        QCOMPARE(blackColumns(), wordAroundEn);
    }
}

void TestDisplayField::partsAreFlushAgainstTheLetter_data() {
    QTest::addColumn<Face>("face");
    QTest::addColumn<bool>("small");
    QTest::newRow("A large") << Face::A << false;
    QTest::newRow("A small") << Face::A << true;
    QTest::newRow("B large") << Face::B << false;
    QTest::newRow("B small") << Face::B << true;
}

// The left part and the rest follow the letter at the font's own spacing:
// no hole, no overlap. Around the symmetric "Н" both blanks are equal; a wide
// letter from a fallback face may have unequal side bearings.
void TestDisplayField::partsAreFlushAgainstTheLetter() {
    QFETCH(Face, face);
    QFETCH(bool, small);
    MainWindow form;
    form.setDisplayFont(face, small);
    const double cell = QFontMetricsF(form.displayField->displayFont()).horizontalAdvance(u'Н');
    for (const QChar letter : {QChar(u'Н'), QChar(u'Ⅷ')}) {
        form.showEntry(u"ННН", letter, u"ННН");
        const QImage image = withoutTicks(fieldPicture(form));
        const picture::Ink red = picture::ink(image, picture::redness);
        QVERIFY(red.firstColumn > 0);
        const picture::Ink before =
            picture::ink(image.copy(0, 0, red.firstColumn, image.height()), picture::blackness);
        const int after = red.lastColumn + 1;
        const picture::Ink behind = picture::ink(
            image.copy(after, 0, image.width() - after, image.height()), picture::blackness);
        QVERIFY(before.lastColumn >= 0 && behind.firstColumn >= 0);
        const int gapBefore = red.firstColumn - before.lastColumn - 1;
        const int gapAfter = behind.firstColumn;
        const bool symmetric = letter == u'Н';
        QVERIFY2(gapBefore >= 1 && gapAfter >= 1 && gapBefore < cell / 2 && gapAfter < cell / 2 &&
                     (!symmetric || qAbs(gapBefore - gapAfter) <= 1),
                 qPrintable(QStringLiteral("%1: gap before the letter %2, after it %3")
                                .arg(letter)
                                .arg(gapBefore)
                                .arg(gapAfter)));
    }
}

void TestDisplayField::displayFontIsMonospaced_data() {
    partsAreFlushAgainstTheLetter_data();
}

void TestDisplayField::displayFontIsMonospaced() {
    QFETCH(Face, face);
    QFETCH(bool, small);
    MainWindow form;
    form.setDisplayFont(face, small);
    QCOMPARE(form.displayField->face(), face);
    QCOMPARE(form.displayField->isSmall(), small);
    const QFont font = form.displayField->displayFont();
    QCOMPARE(font.pixelSize(), small ? 21 : 29);
    const QFontMetricsF metrics(font);
    QCOMPARE(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
    QCOMPARE(metrics.horizontalAdvance(u'ш'), metrics.horizontalAdvance(u'.'));
    QVERIFY(QFontInfo(font).fixedPitch());
}

void TestDisplayField::lineBreaksStayOnOneLine_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<QString>("looksLike"); // left, letter and rest as drawn
    QTest::newRow("CR as the letter") << QString() << QChar(u'\r') << QString() << u"| |"_qs;
    QTest::newRow("LF as the letter") << QString() << QChar(u'\n') << QString() << u"| |"_qs;
    QTest::newRow("CR ending the rest") << u"с"_qs << QChar(u'л') << u"ово\r"_qs << u"с|л|ово "_qs;
    QTest::newRow("CRLF inside both parts")
        << u"a\r\nb"_qs << QChar(u'c') << u"d\ne\u2029f"_qs << u"a  b|c|d e f"_qs;
    QTest::newRow("tab and C1 control")
        << u"x\ty"_qs << QChar(u'z') << u"\u009cend"_qs << u"x y|z| end"_qs;
}

// Line breaks and control characters are drawn as blanks on the one line;
// the labels keep the strings exactly as given.
void TestDisplayField::lineBreaksStayOnOneLine() {
    QFETCH(QString, left);
    QFETCH(QChar, letter);
    QFETCH(QString, rest);
    QFETCH(QString, looksLike);
    const QStringList drawn = looksLike.split(u'|');

    MainWindow form;
    const QRect field = form.displayField->geometry();
    form.showEntry(left, letter, rest);
    QCOMPARE(form.displayField->left(), left);
    QCOMPARE(form.displayField->letter(), letter);
    QCOMPARE(form.displayField->rest(), rest);
    const QImage shown = fieldPicture(form);
    const QRect parts[] = {form.displayField->partRect(Part::Left),
                           form.displayField->partRect(Part::Letter),
                           form.displayField->partRect(Part::Rest)};

    form.showEntry(drawn[0], drawn[1].at(0), drawn[2]);
    QCOMPARE(fieldPicture(form), shown);
    QCOMPARE(form.displayField->partRect(Part::Left), parts[0]);
    QCOMPARE(form.displayField->partRect(Part::Letter), parts[1]);
    QCOMPARE(form.displayField->partRect(Part::Rest), parts[2]);
    QCOMPARE(form.displayField->geometry(), field);
}

void TestDisplayField::longWordsAreClippedWithoutRelayout() {
    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, 30000));
    const QSize window = form.size();
    const QRect field = form.displayField->geometry();
    const QString longPart = QString(400, u'щ');
    form.showEntry(longPart, u'ы', longPart);
    QCOMPARE(form.displayField->left(), longPart);
    QCOMPARE(form.size(), window);
    QCOMPARE(form.displayField->geometry(), field);
    for (const Part part : {Part::Left, Part::Letter, Part::Rest}) {
        QVERIFY(field.translated(-field.topLeft()).contains(form.displayField->partRect(part)));
    }
    // Nothing is drawn outside the frame, and the letter keeps its place.
    const QImage image = picture::render(&form, QRect(0, 0, form.width(), 69));
    for (int x : {0, 10, 345, 355}) {
        QCOMPARE(image.pixel(x, 35), picture::render(&form, QRect(x, 35, 1, 1)).pixel(0, 0));
        QCOMPARE(picture::blackness(image.pixel(x, 35)) < 100, true);
    }
    const picture::Ink red = picture::ink(fieldPicture(form), picture::redness, 60);
    QVERIFY(qAbs(red.middle() - tickCentre) <= 1.0);
}

void TestDisplayField::longWordsAreDrawnSmallerToFit_data() {
    QTest::addColumn<Face>("face");
    QTest::addColumn<bool>("small");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<bool>("smaller");
    const QString longLeft = u"Челове"_qs;
    const QString longRest = u"оненавистничество"_qs;
    for (const auto& [faceName, face] : {std::pair{"A", Face::A}, std::pair{"B", Face::B}}) {
        for (const bool small : {false, true}) {
            const char* size = small ? "small" : "large";
            QTest::addRow("%s %s, a word that fits", faceName, size)
                << face << small << u"Пр"_qs << u"вет"_qs << false;
            QTest::addRow("%s %s, Человеконенавистничество", faceName, size)
                << face << small << longLeft << longRest << true;
            QTest::addRow("%s %s, long on the left", faceName, size)
                << face << small << u"Сверхчеловеконенавистни"_qs << u"о"_qs << true;
            QTest::addRow("%s %s, long on both sides", faceName, size)
                << face << small << u"Ааааааааааааааааа"_qs << u"ааааааааааааааааааааааааа"_qs
                << true;
        }
    }
}

// A word too long for its sides is drawn just small enough to fit, all its
// ink inside the frame, the letter's cell still centred on the tick marks.
void TestDisplayField::longWordsAreDrawnSmallerToFit() {
    QFETCH(Face, face);
    QFETCH(bool, small);
    QFETCH(QString, left);
    QFETCH(QString, rest);
    QFETCH(bool, smaller);
    MainWindow form;
    form.setDisplayFont(face, small);
    form.showEntry(left, u'к', rest);
    const QFont font = form.displayField->entryFont();
    QCOMPARE(font.pixelSize() < form.displayField->displayFont().pixelSize(), smaller);
    QCOMPARE(font.family(), form.displayField->displayFont().family());
    const QFontMetricsF metrics(font);
    QVERIFY(metrics.horizontalAdvance(left) <= form.displayField->partRect(Part::Left).width());
    QVERIFY(metrics.horizontalAdvance(rest) <= form.displayField->partRect(Part::Rest).width());
    // Just small enough: one pixel larger would not fit.
    if (smaller) {
        QFont larger = font;
        larger.setPixelSize(font.pixelSize() + 1);
        const QFontMetricsF wider(larger);
        const qreal cell = wider.horizontalAdvance(u'к');
        const qreal roomLeft = tickCentre - cell / 2 - ((small ? 30 : 28) - 24);
        const qreal roomRest = ((small ? 329 : 331) - 24) - (tickCentre + cell / 2);
        QVERIFY(wider.horizontalAdvance(left) > roomLeft - 1 ||
                wider.horizontalAdvance(rest) > roomRest - 1);
    }
    // The picture: black ink on both sides of the red letter, none touching
    // the frame's inner edge, the letter's cell on the tick marks.
    const QImage image = withoutTicks(fieldPicture(form));
    const picture::Ink black = picture::ink(image, picture::blackness);
    const picture::Ink red = picture::ink(image, picture::redness);
    QVERIFY(black.firstColumn > 2 && black.lastColumn < image.width() - 3);
    QVERIFY(black.firstColumn < red.firstColumn && black.lastColumn > red.lastColumn);
    const QRect cell = form.displayField->partRect(Part::Letter);
    QVERIFY(qAbs(cell.left() + cell.width() / 2.0 - tickCentre) <= 0.5);
    QVERIFY(red.firstColumn >= cell.left() - 1 && red.lastColumn <= cell.right() + 1);
}

void TestDisplayField::markupIsShownAsText() {
    MainWindow form;
    form.showEntry(u"<b>x</b>", u'&', u"<i>y</i>&amp;");
    const QImage asMarkup = withoutTicks(fieldPicture(form));
    QCOMPARE(form.displayField->left(), u"<b>x</b>"_qs);
    QCOMPARE(form.displayField->rest(), u"<i>y</i>&amp;"_qs);
    form.showEntry(u"x", u'&', u"y&");
    const QImage plain = withoutTicks(fieldPicture(form));
    // The tags are drawn as characters: far more ink than "x" and "y&" alone.
    QVERIFY(picture::ink(asMarkup, picture::blackness).weight >
            2 * picture::ink(plain, picture::blackness).weight);
}

void TestDisplayField::blackOnWhiteUnderAnyPalette_data() {
    QTest::addColumn<bool>("applicationWide");
    QTest::newRow("dark palette on the window") << false;
    QTest::newRow("dark palette on the application") << true;
}

// A dark desktop theme leaves the word display as it is, black and red on
// white; the rest of the window follows the theme.
void TestDisplayField::blackOnWhiteUnderAnyPalette() {
    QFETCH(bool, applicationWide);
    QImage usual;
    {
        MainWindow form;
        form.showEntry(u"сл", u'о', u"во,");
        usual = fieldPicture(form);
    }
    QVERIFY(picture::ink(withoutTicks(usual), picture::blackness).weight > 255 * 40);

    QPalette dark;
    for (const auto& [role, colour] :
         {std::pair{QPalette::Window, 0x303030}, std::pair{QPalette::WindowText, 0xe0e0e0},
          std::pair{QPalette::Base, 0x202020}, std::pair{QPalette::Text, 0xe0e0e0},
          std::pair{QPalette::Button, 0x383838}, std::pair{QPalette::ButtonText, 0xe0e0e0},
          std::pair{QPalette::Light, 0x505050}, std::pair{QPalette::Dark, 0x101010},
          std::pair{QPalette::Mid, 0x282828}}) {
        dark.setColor(role, QColor(QRgb(colour)));
    }
    const QPalette before = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
    if (applicationWide)
        QApplication::setPalette(dark);
    MainWindow form;
    if (!applicationWide)
        form.setPalette(dark);
    form.showEntry(u"сл", u'о', u"во,");
    QCOMPARE(fieldPicture(form), usual);
    QVERIFY(qGray(picture::render(&form, QRect(5, 5, 1, 1)).pixel(0, 0)) < 0x60);
}

QTEST_MAIN(TestDisplayField)
#include "tst_display_field.moc"
