// Batch mode's files and matcher: the photo library and the project's disparity matcher.
#include "app/batch.h"
#include "app/photo_files.h"
#include "app/stereo_matcher.h"

BatchServices DefaultBatchServices() {
    return {ReadImageFile, PHOTO_FILE_WRITER, cvFindStereoCorrespondence};
}
