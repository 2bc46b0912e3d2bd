#include "setup_messages.h"

#include "module_path.h"

namespace {

// Error codes are shown as signed decimals, as the system's "%d" shows them.
std::string Code(unsigned long code) { return std::to_string(static_cast<int>(code)); }

}  // namespace

std::string CreateFileFailedText(const char* operation, unsigned long code,
                                 const std::string& error_text, const std::string& path) {
  return std::string(operation) + ": CreateFile failed \r\nErrorCode: " + Code(code) +
         " \r\nErrorMessage: " + error_text + " \r\nPath: " + path;
}

std::string WriteFileFailedText(unsigned long code, const std::string& error_text,
                                const std::string& path) {
  return "WriteXml: WriteFile failed \r\nErrorCode: " + Code(code) +
         " \r\nErrorMessage: " + error_text + " \r\nPath: " + path;
}

std::string FindFirstFileFailedText(unsigned long code, const std::string& error_text,
                                    const std::string& search_path) {
  return "GetFilesAsArray: FindFirstFile failed \r\nErrorCode: " + Code(code) +
         " \r\nErrorMessage: " + error_text + " \r\nPath: " + search_path;
}

std::string OverwriteQuestion(const std::string& destination, const std::string& source) {
  return "Overwrite:\r\n" + destination + "\r\n\r\nWith:\r\n" + source + " ?";
}

std::string CopyFailedText(unsigned long code, const std::string& error_text,
                           const std::string& source, const std::string& destination) {
  return "CopyFiles: CopyFile failed.\r\nErrorCode: " + Code(code) + "\r\nErroMessage: " +
         error_text + "\r\n\r\nSource: " + source + "\r\nDestinition: " + destination;
}

std::string OverwriteFailedText(unsigned long code, const std::string& error_text,
                                const std::string& source, const std::string& destination) {
  return "CopyFiles: CopyFile failed.\r\nErrorCode: " + Code(code) + "\r\nErroMessage: " +
         error_text + " \r\n\r\nSource: " + source + " \r\nDestinition: " + destination;
}

std::string FolderMissingText(const std::string& path) {
  return "Folder does not exist:\r\n" + path;
}

std::string LibrariesMissingText(const std::string& search_path) {
  return "64-bit libraries do not exist:\r\n" + search_path;
}

std::string PathTooLongText(const std::string& path) {
  return "Path is too long (260 characters or more):\r\n" + path;
}

std::string ModulePathFailedText(unsigned long code, const std::string& module_path) {
  if (code == kModulePathTooLong) return PathTooLongText(module_path);
  return "GetModuleFileNameA failed (LastError = " + Code(code) + ")";
}
