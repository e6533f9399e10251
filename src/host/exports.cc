// The five entry points the host calls. No exception leaves them: the
// session reports failures by result values and its error number.
#include "host/the_import.h"
#include "impordano.h"

namespace imp {

ImportSession& TheImport() noexcept {
  static ImportSession session;
  return session;
}

}  // namespace imp

extern "C" {

IMP_API int32_t IMP_CALL ImpStart(const char* path) { return imp::TheImport().Start(path); }

IMP_API char* IMP_CALL ImpGetDescr(void) { return imp::TheImport().Message(); }

IMP_API char* IMP_CALL ImpKosztDescr(void) { return imp::TheImport().Describe(); }

IMP_API int32_t IMP_CALL ImpGetNextToken(int32_t* type, void* buffer) {
  return imp::TheImport().NextToken(type, buffer);
}

IMP_API int32_t IMP_CALL ImpEnd(void) { return imp::TheImport().End(); }

}  // extern "C"
