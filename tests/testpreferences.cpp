// The preferences dialog, inside the main window that owns it.

#include "app/clockface.h"
#include "app/configuration.h"
#include "mainwindow/fenetreprincipale.h"
#include "platform/displayserver.h"
#include "preferences/dialogpreferences.h"
#include "support/moverecorder.h"
#include "support/testday.h"
#include "support/uidriver.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void cancelKeepsAndOkSavesAtOnce();
    void editsShowBeforeOk();
    void onAWaylandDesktop();

private:
    void open(const QByteArray& settings);
    template<typename Widget = QWidget>
    Widget* part(const char* name) const
    {
        return m_dialog->findChild<Widget*>(QLatin1String(name));
    }
    void click(const char* button) { QTest::mouseClick(part<QPushButton>(button), Qt::LeftButton); }

    std::optional<TestDay> m_day;
    std::optional<FenetrePrincipale> m_window;
    DialogPreferences* m_dialog = nullptr;
};

// Loads `settings` as conf.ini, builds the main window and shows its
// preferences, as the menu does but without waiting on them.
void TestPreferences::open(const QByteArray& settings)
{
    m_day.emplace(QStringLiteral("10:00:00.003"));
    QVERIFY(m_day->conf.write(settings));
    charger_configuration();
    m_window.emplace();
    m_window->show();
    m_dialog = m_window->preferencesDialog();
    m_dialog->show();
}

void TestPreferences::cleanup()
{
    m_window.reset();
    m_day.reset();
}

void TestPreferences::cancelKeepsAndOkSavesAtOnce()
{
    // Neighbours that differ, so that OK cannot store one for the other;
    // values out of the widgets' ranges, as in a hand-edited file.
    open("[demarrage]\nonTop=true\nreduire=true\n[sauvegarde]\nchronos=false\nte=false\n[alarmes]\nson=true\n"
         "[sonnerie]\ntype=0\nbip\\frequence=30000\n[vibration]\nduree=9000\n");
    part<QCheckBox>("m_checkbox_onTop")->setChecked(false);
    part<QRadioButton>("m_radio_son")->setChecked(true);
    part<QSlider>("m_slider_bip_frequence")->setValue(440);
    click("bouton_annuler");

    // Shown again: as stored, held to the ranges.
    m_dialog->show();
    QVERIFY(part<QCheckBox>("m_checkbox_onTop")->isChecked());
    QVERIFY(part<QRadioButton>("m_radio_rien")->isChecked());
    QCOMPARE(part<QLabel>("m_label_bip_frequence")->text(), "20000 hz");
    for (QCheckBox* box : m_dialog->findChildren<QCheckBox*>())
        box->toggle();
    part<QLineEdit>("m_lineedit_horloge_image")->setText("/images/face.png");
    part<QLineEdit>("m_lineedit_fichier_wav")->setText("/sons/gong.wav");
    part<QSpinBox>("m_spinbox_aiguille_largeur")->setValue(3);
    part<QSlider>("m_slider_vibration_intensite")->setValue(7);
    part<QSlider>("m_slider_bip_duree")->setValue(250);
    QVERIFY(answerNextDialog([this] { click("bouton_horloge_aiguille_couleur"); },
                             [](QDialog& colours) {
                                 static_cast<QColorDialog&>(colours).setCurrentColor(QColor(10, 20, 30));
                                 colours.accept();
                             }));
    click("bouton_ok");

    // In the file now, not only at the end of the run.
    // clang-format off
    const QStringList expected = {
        "demarrage/reduire=false", "demarrage/os=true", "demarrage/onTop=false", "sauvegarde/alarmes=false",
        "sauvegarde/chronos=true", "sauvegarde/car=false", "sauvegarde/te=true",
        "horloge/image=/images/face.png", "horloge/pen_r=10", "horloge/pen_v=20", "horloge/pen_b=30",
        "horloge/pen_size=3", "horloge/aiguille_seconde=false", "vibration/active=true",
        "vibration/intensite=7", "vibration/duree=5000", "sonnerie/type=3", "sonnerie/bip/frequence=20000",
        "sonnerie/bip/duree=250", "sonnerie/son=/sons/gong.wav", "alarmes/son=false"};
    // clang-format on
    const auto stored = m_day->conf.read();
    for (const QString& line : expected)
        QCOMPARE(line.section('=', 0, 0) + '=' + stored->value(line.section('=', 0, 0)).toString(), line);
    const QString autostart = m_day->conf.dirPath() + "/config/autostart/Rivozur.desktop";
    QVERIFY(QFile::exists(autostart));

    m_dialog->show();
    part<QCheckBox>("m_checkbox_demarrage_os")->setChecked(false);
    click("bouton_ok");
    QVERIFY(!QFile::exists(autostart));
}

void TestPreferences::editsShowBeforeOk()
{
    // An out-of-range colour, as in a hand-edited file, takes the nearest one.
    open("[horloge]\npen_r=300\npen_v=-4\npen_b=90\n");
    // The preview shows 0:25:40 whatever the time, as it is being edited,
    // at the screen's pixel density.
    auto* label = part<QLabel>("m_label_horloge_apercu");
    const auto preview = [label] { return label->pixmap().toImage(); };
    const auto faceAt0_25_40 = [label](const QString& image, int width, bool secondHand) {
        return drawClockFace(image, QColor(255, 0, 90), width, secondHand, 0, 25, 40,
                             label->devicePixelRatio())
            .toImage();
    };
    const QString face = ":/ressources/horloge_modern.png";
    m_day->tick("17:48:13.003");
    part<QSpinBox>("m_spinbox_aiguille_largeur")->setValue(5);
    QCOMPARE(preview(), faceAt0_25_40(face, 5, true));
    QTest::mouseClick(part<QCheckBox>("m_checkbox_aiguille_seconde"), Qt::LeftButton);
    QCOMPARE(preview(), faceAt0_25_40(face, 5, false));

    // A cancelled colour keeps the colour; a chosen image is drawn at once.
    QVERIFY(answerNextDialog([this] { click("bouton_horloge_aiguille_couleur"); },
                             [](QDialog& colours) { colours.reject(); }));
    const QString image = QDir::cleanPath(QFINDTESTDATA("../resources/Clock.png"));
    QVERIFY(chooseFile(*m_dialog, "bouton_horloge_image_parcourir", image, true));
    QCOMPARE(preview(), faceAt0_25_40(image, 5, false));
    const QString sound = QDir::cleanPath(QFINDTESTDATA("../resources/ding.wav"));
    QVERIFY(chooseFile(*m_dialog, "bouton_wav_parcourir", sound, true));
    QCOMPARE(part<QLineEdit>("m_lineedit_fichier_wav")->text(), sound);

    // The frequency's label follows a drag of its slider, not the keyboard.
    auto* frequency = part<QSlider>("m_slider_bip_frequence");
    frequency->setSliderDown(true);
    frequency->setSliderPosition(440);
    frequency->setSliderDown(false);
    frequency->setFocus();
    QTest::keyClick(frequency, Qt::Key_PageUp);
    QCOMPARE_GT(frequency->value(), 440);
    QCOMPARE(part<QLabel>("m_label_bip_frequence")->text(), "440 hz");

    // The shake test shakes the dialog, as long as it is being edited.
    MoveRecorder dialogMoves(m_dialog), windowMoves(&*m_window);
    const QPoint before = m_dialog->pos();
    part<QSlider>("m_slider_vibration_duree")->setValue(10);
    click("bouton_vibration_test");
    QCOMPARE(dialogMoves.positions.size(), 20);
    QCOMPARE(m_dialog->pos(), before);
    QVERIFY(windowMoves.positions.isEmpty());
}

void TestPreferences::onAWaylandDesktop()
{
    // Run natively under a Wayland compositor as well (tests/CMakeLists.txt).
    if (!platform::isWaylandClient())
        QSKIP("not a Wayland client");
    QTest::failOnWarning(QRegularExpression("."));
    open("[demarrage]\nonTop=true\n");
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
    // Only the desktop keeps a window above: the box says how, and OK keeps
    // the choice for an X11 session.
    const auto* onTop = part<QCheckBox>("m_checkbox_onTop");
    QVERIFY(onTop->isChecked() && !onTop->isEnabled());
    QVERIFY(onTop->toolTip().contains("Alt+Espace"));
    // The dialog cannot move: what it shows shakes inside it.
    QWidget* content = m_dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).constFirst();
    MoveRecorder dialogMoves(m_dialog), contentMoves(content);
    const QPoint place = content->pos();
    part<QSlider>("m_slider_vibration_duree")->setValue(200);
    click("bouton_vibration_test");
    QVERIFY(dialogMoves.positions.isEmpty());
    QCOMPARE(contentMoves.positions.size(), 400);
    QCOMPARE(content->pos(), place);
    click("bouton_ok");
    QVERIFY(m_day->conf.read()->value("demarrage/onTop").toBool());
}

QTEST_MAIN(TestPreferences)
#include "testpreferences.moc"
