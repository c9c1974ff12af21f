#pragma once

#include <QColor>
#include <QDialog>

#include <memory>

class QShowEvent;

namespace Ui {
class ConfigurationDialog;
}

// The preferences: start-up, which tools keep their items, the hourly chime
// and shake, and the look of the face. Every showing fills it afresh from the
// settings, so what "Annuler" abandons never comes back; "OK" writes every
// setting and saves conf.ini at once. The beep and shake tests and the face
// preview use the values being edited, not the saved ones.
class DialogPreferences : public QDialog
{
    Q_OBJECT

public:
    explicit DialogPreferences(QWidget* parent);
    ~DialogPreferences() override;

public slots:
    void bip_test();
    void maj_label_bip_frequence(int val);
    void maj_label_bip_duree(int val);
    void choisir_fichier_wav();
    void vibration_test();
    void choisir_horloge_image();
    void choisir_horloge_aiguille_couleur();
    void maj_horloge_apercu();
    void appliquer_attributs();
    void maj_options();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::ConfigurationDialog> m_ui;
    QColor m_couleurAiguilles;
};
