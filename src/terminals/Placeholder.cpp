// The terminals library: serial port and terminal protocol.
namespace kzm::terminals {}
