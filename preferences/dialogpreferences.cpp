#include "preferences/dialogpreferences.h"

#include "app/clockface.h"
#include "app/configuration.h"
#include "app/shake.h"
#include "platform/autostart.h"
#include "platform/beep.h"
#include "platform/displayserver.h"
#include "tools/alert.h"

#include "ui_configurationdialog.h"

#include <QColorDialog>

namespace {

// The fixed time of the preview, chosen so that no hand hides another.
constexpr int kPreviewHour = 0;
constexpr int kPreviewMinute = 25;
constexpr int kPreviewSecond = 40;

} // namespace

DialogPreferences::DialogPreferences(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::ConfigurationDialog>())
{
    m_ui->setupUi(this);
    // Windows has no sessions to speak of; other desktops have no Windows.
    m_ui->m_checkbox_demarrage_os->setText(platform::autostartChoiceText());
    // Wayland lets no program keep its own window above the others. The box
    // still shows the stored choice, which OK keeps for the next X11 session.
    if (platform::isWaylandClient()) {
        m_ui->m_checkbox_onTop->setEnabled(false);
        m_ui->m_checkbox_onTop->setToolTip(
            tr("Sous Wayland, seul le bureau peut garder une fenêtre au premier plan.\n"
               "GNOME : menu de la fenêtre (Alt+Espace), « Toujours au premier plan ».\n"
               "KDE : menu de la fenêtre (Alt+F3), ou une règle de fenêtre."));
    }

    connect(m_ui->bouton_ok, &QPushButton::clicked, this, &DialogPreferences::appliquer_attributs);
    connect(m_ui->bouton_annuler, &QPushButton::clicked, this, &QDialog::reject);
    // The labels follow a dragged slider only; a key press or a click on the
    // groove leaves them as they were.
    connect(m_ui->m_slider_bip_frequence, &QSlider::sliderMoved, this,
            &DialogPreferences::maj_label_bip_frequence);
    connect(m_ui->m_slider_bip_duree, &QSlider::sliderMoved, this, &DialogPreferences::maj_label_bip_duree);
    connect(m_ui->bouton_bip_test, &QPushButton::clicked, this, &DialogPreferences::bip_test);
    connect(m_ui->bouton_wav_parcourir, &QPushButton::clicked, this, &DialogPreferences::choisir_fichier_wav);
    connect(m_ui->bouton_vibration_test, &QPushButton::clicked, this, &DialogPreferences::vibration_test);
    connect(m_ui->bouton_horloge_image_parcourir, &QPushButton::clicked, this,
            &DialogPreferences::choisir_horloge_image);
    connect(m_ui->bouton_horloge_aiguille_couleur, &QPushButton::clicked, this,
            &DialogPreferences::choisir_horloge_aiguille_couleur);
    connect(m_ui->m_spinbox_aiguille_largeur, &QSpinBox::valueChanged, this,
            &DialogPreferences::maj_horloge_apercu);
    connect(m_ui->m_checkbox_aiguille_seconde, &QCheckBox::clicked, this,
            &DialogPreferences::maj_horloge_apercu);

    maj_options();
}

DialogPreferences::~DialogPreferences() = default;

void DialogPreferences::showEvent(QShowEvent* event)
{
    maj_options();
    QDialog::showEvent(event);
}

void DialogPreferences::bip_test()
{
    // Whatever chime is chosen: the user asked to hear this one.
    platform::Beep(m_ui->m_slider_bip_frequence->value(), m_ui->m_slider_bip_duree->value());
}

void DialogPreferences::maj_label_bip_frequence(int val)
{
    m_ui->m_label_bip_frequence->setText(tr("%1 hz").arg(val));
}

void DialogPreferences::maj_label_bip_duree(int val)
{
    m_ui->m_label_bip_duree->setText(tr("%1 ms").arg(val));
}

void DialogPreferences::choisir_fichier_wav()
{
    m_ui->m_lineedit_fichier_wav->setText(chooseFileToOpen(
        this, tr("Ouvrir un fichier"), m_ui->m_lineedit_fichier_wav->text(), tr("Sons (*.wav)")));
}

void DialogPreferences::vibration_test()
{
    vibrer_fenetre(this, m_ui->m_slider_vibration_intensite->value(),
                   m_ui->m_slider_vibration_duree->value());
}

void DialogPreferences::choisir_horloge_image()
{
    m_ui->m_lineedit_horloge_image->setText(chooseFileToOpen(this, tr("Ouvrir un fichier"),
                                                             m_ui->m_lineedit_horloge_image->text(),
                                                             tr("Images (*.bmp *.gif *.jpg *.jpeg *.png)")));
    maj_horloge_apercu();
}

void DialogPreferences::choisir_horloge_aiguille_couleur()
{
    const QColor chosen = QColorDialog::getColor(m_couleurAiguilles, this);
    // A cancelled dialog answers with an invalid colour.
    if (chosen.isValid())
        m_couleurAiguilles = chosen;
    maj_horloge_apercu();
}

void DialogPreferences::maj_horloge_apercu()
{
    m_ui->m_label_horloge_apercu->setPixmap(drawClockFace(
        m_ui->m_lineedit_horloge_image->text(), m_couleurAiguilles, m_ui->m_spinbox_aiguille_largeur->value(),
        m_ui->m_checkbox_aiguille_seconde->isChecked(), kPreviewHour, kPreviewMinute, kPreviewSecond,
        m_ui->m_label_horloge_apercu->devicePixelRatio()));
}

void DialogPreferences::appliquer_attributs()
{
    Configuration& c = g_configuration;
    c.demarrage_reduire = m_ui->m_checkbox_demarrage_reduire->isChecked();
    c.demarrage_os = m_ui->m_checkbox_demarrage_os->isChecked();
    c.demarrage_onTop = m_ui->m_checkbox_onTop->isChecked();
    c.alarmes_son = m_ui->m_checkbox_alarmes_son->isChecked();
    c.alarmes_repetition = m_ui->m_spinbox_alarmes_repetition->value();
    c.sauvegarde_alarmes = m_ui->m_checkbox_sauvegarde_alarmes->isChecked();
    c.sauvegarde_chronos = m_ui->m_checkbox_sauvegarde_chronos->isChecked();
    c.sauvegarde_car = m_ui->m_checkbox_sauvegarde_car->isChecked();
    c.sauvegarde_te = m_ui->m_checkbox_sauvegarde_te->isChecked();
    c.horloge_image = m_ui->m_lineedit_horloge_image->text();
    c.horloge_pen_r = m_couleurAiguilles.red();
    c.horloge_pen_v = m_couleurAiguilles.green();
    c.horloge_pen_b = m_couleurAiguilles.blue();
    c.horloge_pen_size = m_ui->m_spinbox_aiguille_largeur->value();
    c.vibration_active = m_ui->m_checkbox_vibration_active->isChecked();
    c.vibration_duree = m_ui->m_slider_vibration_duree->value();
    c.vibration_intensite = m_ui->m_slider_vibration_intensite->value();
    c.sonnerie_type = m_ui->m_radio_bip->isChecked() ? kChimeBeep
        : m_ui->m_radio_son->isChecked()             ? kChimeWav
                                                     : kChimeNone;
    c.sonnerie_bip_frequence = m_ui->m_slider_bip_frequence->value();
    c.sonnerie_bip_duree = m_ui->m_slider_bip_duree->value();
    c.sonnerie_son = m_ui->m_lineedit_fichier_wav->text();
    c.horloge_aiguille_seconde = m_ui->m_checkbox_aiguille_seconde->isChecked();

    // Also brings the autostart entry in line with demarrage/os.
    sauver_configuration();
    accept();
}

void DialogPreferences::maj_options()
{
    const Configuration& c = g_configuration;
    m_ui->m_checkbox_demarrage_reduire->setChecked(c.demarrage_reduire);
    m_ui->m_checkbox_demarrage_os->setChecked(c.demarrage_os);
    m_ui->m_checkbox_onTop->setChecked(c.demarrage_onTop);
    m_ui->m_checkbox_alarmes_son->setChecked(c.alarmes_son);
    m_ui->m_spinbox_alarmes_repetition->setValue(c.alarmes_repetition);
    m_ui->m_checkbox_sauvegarde_alarmes->setChecked(c.sauvegarde_alarmes);
    m_ui->m_checkbox_sauvegarde_chronos->setChecked(c.sauvegarde_chronos);
    m_ui->m_checkbox_sauvegarde_car->setChecked(c.sauvegarde_car);
    m_ui->m_checkbox_sauvegarde_te->setChecked(c.sauvegarde_te);

    // The sliders hold a hand-edited value to their range; the labels show
    // what OK would store, not the value out of range.
    m_ui->m_slider_bip_frequence->setSliderPosition(c.sonnerie_bip_frequence);
    maj_label_bip_frequence(m_ui->m_slider_bip_frequence->value());
    m_ui->m_slider_bip_duree->setSliderPosition(c.sonnerie_bip_duree);
    maj_label_bip_duree(m_ui->m_slider_bip_duree->value());
    m_ui->m_lineedit_fichier_wav->setText(c.sonnerie_son);

    // The three buttons exclude one another, so one of them is always
    // checked; setting the right one is enough.
    QRadioButton* chime = c.sonnerie_type == kChimeBeep ? m_ui->m_radio_bip
        : c.sonnerie_type == kChimeWav                  ? m_ui->m_radio_son
                                                        : m_ui->m_radio_rien;
    chime->setChecked(true);

    m_ui->m_checkbox_vibration_active->setChecked(c.vibration_active);
    m_ui->m_slider_vibration_intensite->setSliderPosition(c.vibration_intensite);
    m_ui->m_slider_vibration_duree->setSliderPosition(c.vibration_duree);

    m_ui->m_lineedit_horloge_image->setText(c.horloge_image);
    m_couleurAiguilles = configuredHandColour();
    m_ui->m_spinbox_aiguille_largeur->setValue(c.horloge_pen_size);
    m_ui->m_checkbox_aiguille_seconde->setChecked(c.horloge_aiguille_seconde);

    maj_horloge_apercu();
}
