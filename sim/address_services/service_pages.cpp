#include "address_services/service_pages.h"

#include <cstdio>

namespace sim {
namespace {

// GBK bytes of the Chinese page texts.
constexpr std::string_view gbk_your = "\xC4\xFA\xB5\xC4";               // 您的
constexpr std::string_view gbk_address_colon = "\xB5\xD8\xD6\xB7\xA3\xBA";  // 地址：
constexpr std::string_view gbk_is_colon = "\xCA\xC7\xA3\xBA";           // 是：

std::string headers(std::string_view content_type, std::string_view extra) {
  std::string text = "HTTP/1.1 200 OK\r\nServer: virtual-internet\r\nContent-Type: ";
  text.append(content_type).append("\r\nCache-Control: no-cache\r\nConnection: close\r\n").append(extra);
  return text;
}

// Pads an HTML page with a comment so that the response reaches min_bytes.
std::string padded_html(const std::string& head, const std::string& body, std::size_t min_bytes) {
  auto response = [&](std::size_t padding) {
    std::string page = body + "<!-- " + std::string(padding, '-') + " -->\n</body></html>\n";
    return head + "Content-Length: " + std::to_string(page.size()) + "\r\n\r\n" + page;
  };
  std::string unpadded = response(0);
  return unpadded.size() >= min_bytes ? unpadded : response(min_bytes - unpadded.size());
}

// A chunked body of one chunk; a padding header makes the response long enough.
std::string page_a(const std::string& client, std::size_t min_bytes) {
  char size_line[16];
  std::snprintf(size_line, sizeof size_line, "%zx\r\n", client.size());
  std::string body = size_line + client + "\r\n0\r\n\r\n";
  auto response = [&](const std::string& extra) {
    return headers("text/plain", "Transfer-Encoding: chunked\r\n" + extra) + "\r\n" + body;
  };
  std::string unpadded = response("");
  if (unpadded.size() >= min_bytes) return unpadded;
  return response("X-Padding: " + std::string(min_bytes - unpadded.size(), 'p') + "\r\n");
}

std::string page_b(const std::string& client, std::size_t min_bytes) {
  std::string body = "<html><head><meta charset=\"gbk\"></head><body>\n<p>";
  body.append(gbk_your).append("IP").append(gbk_address_colon).append("<br/>").append(client).append("</p>\n");
  return padded_html(headers("text/html; charset=gbk", ""), body, min_bytes);
}

std::string page_c(const std::string& client, std::size_t min_bytes) {
  std::string body = "<html><body>\n";
  body.append(gbk_your).append("IP").append(gbk_is_colon).append("[").append(client).append("]\n");
  return padded_html(headers("text/html; charset=gbk", ""), body, min_bytes);
}

std::string page_d(const std::string& client, std::size_t min_bytes) {
  std::string body = "<html><body>\n<pre>ip=" + client + "\nagent=pqmweb</pre>\n";
  return padded_html(headers("text/html", ""), body, min_bytes);
}

}  // namespace

const std::array<Site, 4> sites = {{
    {"a.addresses.test", "203.0.113.10", "/dyndns/getip", 200},
    {"b.addresses.test", "203.0.113.11", "/", 9000},
    {"c.addresses.test", "203.0.113.12", "/ic.asp", 500},
    {"d.addresses.test", "203.0.113.13", "/", 4000},
}};

std::string site_response(std::size_t k, std::string_view host, std::string_view path,
                          const std::string& client_address) {
  if (k >= sites.size() || host != sites[k].host || path != sites[k].path)
    return "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  std::size_t min_bytes = sites[k].min_response_bytes;
  switch (k) {
    case 0:
      return page_a(client_address, min_bytes);
    case 1:
      return page_b(client_address, min_bytes);
    case 2:
      return page_c(client_address, min_bytes);
    default:
      return page_d(client_address, min_bytes);
  }
}

}  // namespace sim
