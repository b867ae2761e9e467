// Shared helpers of the test binaries live beside this file.
namespace kv::test {}
