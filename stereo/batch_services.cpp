// Batch mode's files and matcher: the photo library and the project's disparity matcher.
#include "stereo/batch.h"
#include "stereo/photo_files.h"
#include "stereo/stereo_matcher.h"

BatchServices DefaultBatchServices() {
    return {ReadImageFile, PHOTO_FILE_WRITER, cvFindStereoCorrespondence};
}
