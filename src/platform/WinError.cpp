#include "platform/WinError.h"

#include <cerrno>

namespace tessary {

uint32_t WinErrorFromErrno(int err) {
    switch (err) {
        case 0:
            return kErrorSuccess;
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
        case ELOOP:
            return kErrorPathNotFound;
        case EMFILE:
        case ENFILE:
            return kErrorTooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return kErrorAccessDenied;
        case EBADF:
            return kErrorInvalidHandle;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case EIO:
            return kErrorReadFault;
        case ENXIO:
        case ENODEV:
#ifdef ENOMEDIUM
        case ENOMEDIUM:
#endif
            return kErrorNotReady;
        case EBUSY:
        case ETXTBSY:
        case EAGAIN:
            return kErrorSharingViolation;
        case ENETDOWN:
        case ENETUNREACH:
        case EHOSTUNREACH:
#ifdef EHOSTDOWN
        case EHOSTDOWN:
#endif
        case ENETRESET:
        case ECONNRESET:
        case ECONNABORTED:
#ifdef ESTALE
        case ESTALE:
#endif
            return kErrorBadNetPath;
        case EEXIST:
            return kErrorFileExists;
        case EINVAL:
        case ESPIPE:
        case EOVERFLOW:
            return kErrorInvalidParameter;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
        case EFBIG:
            return kErrorDiskFull;
        case ENAMETOOLONG:
            return kErrorFilenameExcedRange;
        case EILSEQ:
            return kErrorInvalidName;
        case EXDEV:
            return kErrorNotSameDevice;
        case ENOTEMPTY:
            return kErrorDirNotEmpty;
        case ENOSYS:
        case EOPNOTSUPP:
            return kErrorNotSupported;
        default:
            // No closer Windows meaning: report it as a general failure.
            return kErrorGenFailure;
    }
}

}  // namespace tessary
