// The sound player of the download-finished sound, built as a module of its own (lib/
// libquellon_sound.so) so that QtMultimedia and the sound server libraries behind it are loaded
// only when a download first finishes with the sound switched on.
#include <QSoundEffect>
#include <QUrl>

// Plays the WAV file once; the effect belongs to the owner and deletes itself when it stops.
extern "C" Q_DECL_EXPORT void QuellonPlaySound(const QString& fileName, QObject* owner) {
    auto* sound = new QSoundEffect(owner);
    sound->setSource(QUrl::fromLocalFile(fileName));
    QObject::connect(sound, &QSoundEffect::playingChanged, sound, [sound] {
        if (!sound->isPlaying())
            sound->deleteLater();
    });
    sound->play();
}
