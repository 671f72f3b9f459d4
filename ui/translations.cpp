// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include <memory>

namespace translations {

namespace {

// Tells Qt which way the catalogue's language is written: "RTL" in the
// Arabic one, "LTR" in the others. Qt looks it up itself whenever a
// catalogue is installed; it is named here so that lupdate puts it into
// every catalogue.
[[maybe_unused]] constexpr const char *layoutDirection
    = QT_TRANSLATE_NOOP("QGuiApplication", "QT_LAYOUT_DIRECTION");

// The catalogues installed now, owned by the application.
QPointer<QTranslator> ownCatalogue;
QPointer<QTranslator> qtCatalogue;

void remove(QPointer<QTranslator> &translator)
{
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

// Hands the catalogue to the application, which asks it from now on.
QTranslator *adopt(std::unique_ptr<QTranslator> translator)
{
    translator->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator.get());
    return translator.release();
}

} // namespace

QString install(const QStringList &uiLanguages)
{
    remove(ownCatalogue);
    remove(qtCatalogue);
    QLocale::setDefault(QLocale::system());
    for (const QString &name : uiLanguages) {
        const QLocale locale(name);
        if (locale.language() == QLocale::English || locale.language() == QLocale::C)
            break;
        auto own = std::make_unique<QTranslator>();
        // Built into the program by ui/CMakeLists.txt.
        if (!own->load(locale, QStringLiteral("tavlo"), QStringLiteral("_"),
                       QStringLiteral(":/i18n")))
            continue;
        // Debian's qt6-translations-l10n; without it Qt's texts stay English.
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            qtCatalogue = adopt(std::move(qt));
        // Installed last, so asked first: its layout direction counts.
        ownCatalogue = adopt(std::move(own));
        // What follows the program's language, the on-screen keyboard's
        // layout among it, asks the default locale.
        QLocale::setDefault(locale);
        return ownCatalogue->language();
    }
    return QString();
}

} // namespace translations
