// This computer's address through Windows Sockets: start 2.2, read the host name, resolve it and
// take the first IPv4 address; Windows Sockets is shut down again whenever it started.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <array>

#include "app/HostAddress.h"

namespace uhf {

namespace {

std::string ResolveOwnName() {
  std::array<char, 256> name{};
  if (gethostname(name.data(), static_cast<int>(name.size() - 1)) != 0) return {};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.data(), nullptr, &hints, &found) != 0 || found == nullptr) return {};
  std::string text;
  std::array<char, INET_ADDRSTRLEN> buffer{};
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  if (inet_ntop(AF_INET, &address->sin_addr, buffer.data(), buffer.size()) != nullptr) {
    text = buffer.data();
  }
  freeaddrinfo(found);
  return text;
}

}  // namespace

std::string LocalHostAddress() {
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return {};
  std::string text = ResolveOwnName();
  WSACleanup();
  return text;
}

}  // namespace uhf
