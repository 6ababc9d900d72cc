#include "platform/close_requests.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <system_error>

namespace platform {
namespace {

// The write end of the pipe from the signal handler to the event loop; a handler may do no more.
int signalWriteEnd = -1;

extern "C" void ForwardSignal(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  (void)!::write(signalWriteEnd, &byte, 1);
  errno = saved;
}

}  // namespace

void CloseOnEndRequests(QWidget& window) {
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot prepare for end requests");
  }
  signalWriteEnd = ends[1];
  auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, readEnd = ends[0]] {
    char bytes[16];
    while (::read(readEnd, bytes, sizeof bytes) > 0) {
    }
    window.close();
  });
  struct sigaction action{};
  action.sa_handler = ForwardSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);

  // The session manager asks each program to save its work before the session ends.
  QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager&) {
    window.close();
  });
}

}  // namespace platform
