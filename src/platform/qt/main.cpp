// Tarnwick on Linux: the window is created with its controls, Form_Load
// makes the first listing, then the window is shown. Closing it ends the
// program.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "platform/qt/main_window.h"
#include "platform/qt/mount_notifier.h"
#include "window/texts.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const auto system = tarnwick::CreateSystemServices();
  try {
    const tarnwick::Text start_folder = system->CurrentFolder();
    tarnwick::qt::MainWindow window(*system, start_folder);
    // The drive list follows the disks plugged in and taken out.
    tarnwick::qt::MountNotifier mounts;
    QObject::connect(&mounts, &tarnwick::qt::MountNotifier::mountsChanged, &window,
                     [&window] { window.form().DrivesChanged(); });
    window.Load();
    window.show();
    return QApplication::exec();
  } catch (const tarnwick::PlatformError& error) {
    // The folder the program starts in cannot be read: there is nothing to show.
    QMessageBox::critical(nullptr, tarnwick::qt::ToQString(tarnwick::kWindowCaption),
                          tarnwick::qt::ToQString(tarnwick::ErrorMessage(error)));
    return 1;
  }
}
