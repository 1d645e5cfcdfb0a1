// What the user reads comes from the chosen language's pack: the error box, the frame's menu and the about box
// in each language, and every key the code looks up is in every pack.

#include "AppTestSupport.h"

#include "app/WizardHost.h"
#include "app/MainWindow.h"
#include "i18n/LanguageTable.h"
#include "i18n/Localization.h"
#include "overlays/AboutBox.h"
#include "overlays/ErrorAlert.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <memory>
#include <set>

namespace {

// The keys of every Text("key", ...) call under src/, as written.
std::set<QString> KeysLookedUp()
{
    std::set<QString> keys;
    const QRegularExpression call(QStringLiteral("\\bText\\(\\s*\"([^\"\\\\]*)\""));
    QDirIterator files(qEnvironmentVariable("HXT_SOURCE_DIR") + QStringLiteral("/src"),
        { QStringLiteral("*.cpp"), QStringLiteral("*.h") }, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto match = call.globalMatch(text); match.hasNext();)
            keys.insert(match.next().captured(1));
    }
    return keys;
}

// The texts of the error box, the menu and the about box in the language chosen now.
QStringList FrameTexts(MainWindow& frame)
{
    ErrorAlert error(frame.host(), QPoint(7, 7), "");
    AboutBox about(frame.host(), QPoint(7, 7));
    std::unique_ptr<QMenu> menu(frame.BuildMenu());
    QStringList texts { error.message(), about.title(), about.message() };
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    return texts;
}

} // namespace

class TextsTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { SelectLanguage(0); }

    void everyKeyTheCodeLooksUpIsInEveryPack()
    {
        const std::set<QString> keys = KeysLookedUp();
        QVERIFY2(keys.size() > 40, qPrintable(QString::number(keys.size()))); // the sources were found
        const std::string missing = "\x01missing";
        QStringList absent;
        for (int language = 0; language < LanguageTable::kCount; ++language) {
            SelectLanguage(language);
            for (const QString& key : keys) {
                // The English pack calls the capitalised skip SKIP; "_SKIP" shows its fallback there, "SKIP".
                if (language == 0 && key == QLatin1String("_SKIP"))
                    continue;
                if (Text(key.toStdString(), missing) == missing)
                    absent << QStringLiteral("%1: %2").arg(LanguageTable::Entry(language).packFile, key);
            }
        }
        QVERIFY2(absent.isEmpty(), qPrintable(absent.join(QStringLiteral("; "))));
    }

    void errorBoxMenuAndAboutBoxSpeakTheChosenLanguage()
    {
        MainWindow frame; // chooses English
        const QStringList english = FrameTexts(frame);
        QCOMPARE(english,
            QStringList({ "Check Network Failed!", "HXT-914Q Setup Wizard", "Version 2.02.00\n\u00A9 Veskor",
                "About HXT-914Q Setup Wizard\u2026", "Minimize" }));
        for (int language = 1; language < LanguageTable::kCount; ++language) {
            SelectLanguage(language);
            const QStringList texts = FrameTexts(frame);
            QCOMPARE(texts.size(), english.size());
            for (int i = 0; i < texts.size(); ++i) {
                QVERIFY2(!texts[i].isEmpty() && texts[i] != english[i] && !texts[i].contains("[Model Name]")
                        && !texts[i].contains("{0}"),
                    qPrintable(QStringLiteral("%1: %2").arg(LanguageTable::Entry(language).packFile, texts[i])));
            }
            QVERIFY(texts[1].contains("HXT-914Q"));
            QVERIFY(texts[2].contains("2.02.00"));
        }
    }
};

QTEST_MAIN(TextsTest)
#include "app_texts_test.moc"
