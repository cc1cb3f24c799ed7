#include "books/book_text.h"

QString supportedFormats() {
    return QStringLiteral("TXT, FB2, FB2.ZIP, EPUB, DOCX, ODT и PDF");
}

QString bookFailureMessage(const QString& fileName, const BookError& error) {
    const QString name = QStringLiteral("«") + fileName + QStringLiteral("»");
    const QString brackets =
        error.detail.isEmpty() ? QString() : QStringLiteral(" [") + error.detail + QLatin1Char(']');
    const QString formats =
        QStringLiteral(" Kestrix открывает книги в форматах ") + supportedFormats() + u'.';
    switch (error.failure) {
    case BookFailure::None:
    case BookFailure::Cancelled:
        return {};
    case BookFailure::Unreadable:
        return QStringLiteral("Не удалось прочитать файл ") + name + u'.' + brackets;
    case BookFailure::TooBig:
        return QStringLiteral("Файл ") + name + QStringLiteral(" слишком велик для Kestrix.") +
               brackets;
    case BookFailure::NotABook:
        return QStringLiteral("Файл ") + name + QStringLiteral(" не похож на книгу.") + formats;
    case BookFailure::Unsupported:
        return QStringLiteral("Файл ") + name + QStringLiteral(" в формате ") + error.detail +
               QStringLiteral(", его Kestrix не читает.") + formats;
    case BookFailure::Damaged:
        return QStringLiteral("Файл ") + name + QStringLiteral(" повреждён, книга не открыта.") +
               brackets;
    case BookFailure::Encrypted:
        return QStringLiteral("Книга ") + name +
               QStringLiteral(" зашифрована (защищена DRM), Kestrix не может её прочитать.");
    case BookFailure::Password:
        return QStringLiteral("Книга ") + name +
               QStringLiteral(" защищена паролем, Kestrix не может её открыть.");
    case BookFailure::Empty:
        // What exactly is missing, when the reader knows.
        if (!error.detail.isEmpty())
            return QStringLiteral("Файл ") + name + QStringLiteral(": ") + error.detail + u'.';
        return QStringLiteral("В файле ") + name + QStringLiteral(" нет текста.");
    }
    return {};
}
