// The preferences dialog, inside the main window that owns it.

#include "app/clockface.h"
#include "app/configuration.h"
#include "mainwindow/fenetreprincipale.h"
#include "preferences/dialogpreferences.h"
#include "support/moverecorder.h"
#include "support/testday.h"
#include "support/uidriver.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>
#include <optional>

namespace {

// What a drag does: the slider is down while its position moves.
void drag(QSlider* slider, int value)
{
    slider->setSliderDown(true);
    slider->setSliderPosition(value);
    slider->setSliderDown(false);
}

QImage faceAt0_25_40(const QString& image, QColor colour, int width, bool secondHand)
{
    return drawClockFace(image, colour, width, secondHand, 0, 25, 40).toImage();
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_day.emplace(QStringLiteral("10:00:00.003")); }
    void cleanup()
    {
        m_window.reset();
        m_day.reset();
    }

    void showingFillsFromTheSettings_data();
    void showingFillsFromTheSettings();
    void cancelThenOkSavesEverySettingAtOnce();
    void labelsFollowDraggedSlidersOnly();
    void previewAndChoosersShowTheEditedFace();
    void shakeTestShakesTheDialogOnly();

private:
    void open(const QByteArray& settings = {});
    template<typename Widget = QWidget>
    Widget* part(const char* name) const
    {
        return m_dialog->findChild<Widget*>(QLatin1String(name));
    }
    void click(const char* button) { QTest::mouseClick(part<QPushButton>(button), Qt::LeftButton); }
    QImage preview() const { return part<QLabel>("m_label_horloge_apercu")->pixmap().toImage(); }

    std::optional<TestDay> m_day;
    std::unique_ptr<FenetrePrincipale> m_window;
    DialogPreferences* m_dialog = nullptr;
};

// Loads `settings` as conf.ini, builds the main window and shows its
// preferences, as the menu does but without waiting on them.
void TestPreferences::open(const QByteArray& settings)
{
    QVERIFY(m_day->conf.write(settings));
    charger_configuration();
    m_window = std::make_unique<FenetrePrincipale>();
    m_window->show();
    m_dialog = m_window->findChild<DialogPreferences*>();
    QVERIFY(m_dialog);
    m_dialog->show();
}

void TestPreferences::showingFillsFromTheSettings_data()
{
    // What a widget shows for a stored value, and what OK stores back.
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QVariant>("shown");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");

    // clang-format off
    QTest::newRow("chime 0 shows Aucun, stores 3") << QByteArray("[sonnerie]\ntype=0")
        << "m_radio_rien" << QVariant(true) << "sonnerie/type" << "3";
    QTest::newRow("frequency held to 20000") << QByteArray("[sonnerie]\nbip\\frequence=30000")
        << "m_label_bip_frequence" << QVariant("20000 hz") << "sonnerie/bip/frequence" << "20000";
    QTest::newRow("shake length held to 5000") << QByteArray("[vibration]\nduree=9000")
        << "m_slider_vibration_duree" << QVariant(5000) << "vibration/duree" << "5000";
    QTest::newRow("colour held to 255") << QByteArray("[horloge]\npen_v=300")
        << "m_checkbox_aiguille_seconde" << QVariant(true) << "horloge/pen_v" << "255";
    // clang-format on
}

void TestPreferences::showingFillsFromTheSettings()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, widget);
    QFETCH(QString, key);
    open(settings);
    const QWidget* view = m_dialog->findChild<QWidget*>(widget);
    QVERIFY(view);
    const char* property = view->inherits("QLabel") ? "text"
        : view->inherits("QAbstractButton")         ? "checked"
                                                    : "value";
    QTEST(view->property(property), "shown");

    click("bouton_ok");
    QVERIFY(!m_dialog->isVisible());
    QTEST(m_day->conf.read()->value(key).toString(), "stored");
}

void TestPreferences::cancelThenOkSavesEverySettingAtOnce()
{
    open("[demarrage]\nonTop=true\n[sonnerie]\ntype=1\nbip\\frequence=440\n");
    const QByteArray before = m_day->conf.contents();
    part<QCheckBox>("m_checkbox_onTop")->setChecked(false);
    part<QRadioButton>("m_radio_son")->setChecked(true);
    part<QSlider>("m_slider_bip_frequence")->setValue(9000);
    click("bouton_annuler");
    QCOMPARE(m_day->conf.contents(), before);
    QVERIFY(g_configuration.demarrage_onTop);
    m_dialog->show();
    QVERIFY(part<QCheckBox>("m_checkbox_onTop")->isChecked());
    QVERIFY(part<QRadioButton>("m_radio_bip")->isChecked());
    QCOMPARE(part<QSlider>("m_slider_bip_frequence")->value(), 440);

    for (QCheckBox* box : m_dialog->findChildren<QCheckBox*>())
        box->toggle();
    part<QLineEdit>("m_lineedit_horloge_image")->setText("/images/face.png");
    part<QLineEdit>("m_lineedit_fichier_wav")->setText("/sons/gong.wav");
    part<QSpinBox>("m_spinbox_aiguille_largeur")->setValue(3);
    part<QSlider>("m_slider_vibration_intensite")->setValue(7);
    part<QSlider>("m_slider_vibration_duree")->setValue(300);
    part<QSlider>("m_slider_bip_frequence")->setValue(441);
    part<QSlider>("m_slider_bip_duree")->setValue(250);
    part<QRadioButton>("m_radio_son")->setChecked(true);
    QVERIFY(answerNextDialog([this] { click("bouton_horloge_aiguille_couleur"); },
                             [](QDialog& colours) {
                                 static_cast<QColorDialog&>(colours).setCurrentColor(QColor(10, 20, 30));
                                 colours.accept();
                             }));
    click("bouton_ok");

    // In the file now, not only at the end of the run.
    // clang-format off
    const QStringList expected = {
        "demarrage/reduire=true", "demarrage/os=true", "demarrage/onTop=false", "sauvegarde/alarmes=false",
        "sauvegarde/chronos=false", "sauvegarde/car=false", "sauvegarde/te=false",
        "horloge/image=/images/face.png", "horloge/pen_r=10", "horloge/pen_v=20", "horloge/pen_b=30",
        "horloge/pen_size=3", "horloge/aiguille_seconde=false", "vibration/active=true",
        "vibration/intensite=7", "vibration/duree=300", "sonnerie/type=2", "sonnerie/bip/frequence=441",
        "sonnerie/bip/duree=250", "sonnerie/son=/sons/gong.wav"};
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

void TestPreferences::labelsFollowDraggedSlidersOnly()
{
    open();
    auto* frequency = part<QSlider>("m_slider_bip_frequence");
    drag(frequency, 440);
    drag(part<QSlider>("m_slider_bip_duree"), 1200);
    QCOMPARE(part<QLabel>("m_label_bip_frequence")->text(), "440 hz");
    QCOMPARE(part<QLabel>("m_label_bip_duree")->text(), "1200 ms");

    frequency->setFocus();
    QTest::keyClick(frequency, Qt::Key_PageUp);
    QCOMPARE_GT(frequency->value(), 440);
    QCOMPARE(part<QLabel>("m_label_bip_frequence")->text(), "440 hz");
}

void TestPreferences::previewAndChoosersShowTheEditedFace()
{
    open("[horloge]\npen_b=90\npen_size=2\n");
    const QString face = ":/ressources/horloge_modern.png";
    const QColor blue(0, 0, 90);
    // The time of day does not matter.
    m_day->tick("17:48:13.003");
    QCOMPARE(preview(), faceAt0_25_40(face, blue, 2, true));
    part<QSpinBox>("m_spinbox_aiguille_largeur")->setValue(5);
    QCOMPARE(preview(), faceAt0_25_40(face, blue, 5, true));
    QTest::mouseClick(part<QCheckBox>("m_checkbox_aiguille_seconde"), Qt::LeftButton);
    QCOMPARE(preview(), faceAt0_25_40(face, blue, 5, false));

    // Cancelled choosers keep what was there; the image chooser redraws.
    const QString image = QDir::cleanPath(QFINDTESTDATA("../resources/Clock.png"));
    const QString sound = QDir::cleanPath(QFINDTESTDATA("../resources/ding.wav"));
    auto* soundPath = part<QLineEdit>("m_lineedit_fichier_wav");
    const QString shownSound = soundPath->text();
    for (const bool confirm : {false, true}) {
        QVERIFY(answerNextDialog([this] { click("bouton_horloge_aiguille_couleur"); },
                                 [](QDialog& colours) { colours.reject(); }));
        QVERIFY(chooseFile(*m_dialog, "bouton_horloge_image_parcourir", image, confirm));
        QVERIFY(chooseFile(*m_dialog, "bouton_wav_parcourir", sound, confirm));
        QCOMPARE(soundPath->text(), confirm ? sound : shownSound);
        QCOMPARE(preview(), faceAt0_25_40(confirm ? image : face, blue, 5, false));
    }
}

void TestPreferences::shakeTestShakesTheDialogOnly()
{
    open();
    MoveRecorder dialogMoves(m_dialog), windowMoves(m_window.get());
    const QPoint before = m_dialog->pos();
    part<QSlider>("m_slider_vibration_duree")->setValue(10);
    click("bouton_vibration_test");
    QCOMPARE_GE(dialogMoves.positions.size(), 20);
    QCOMPARE(m_dialog->pos(), before);
    QVERIFY(windowMoves.positions.isEmpty());
}

QTEST_MAIN(TestPreferences)
#include "testpreferences.moc"
