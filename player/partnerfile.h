// Front/rear partner files: recordings of one moment named alike except for a camera tag.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Names the partner may have, in the order to try, derived from a file name (no folder):
// the first of "_F.", "_f.", "_R.", "_r.", "_L.", "_l." in the name decides, and every
// occurrence of the tag in the name is replaced. Front and left pair with rear; rear pairs with
// front, else with left. Empty when the name carries no tag. Case-sensitive.
QStringList partnerNameCandidates(const QString &fileName);

// The existing partner of a local file, searched in the same folder; empty when there is none.
// Only the file name is rewritten, so a folder such as "My_Files" is left alone.
QString partnerFilePath(const QString &localPath);

// partnerFilePath for a local-file URL; an empty QUrl when there is no partner.
QUrl partnerFileUrl(const QUrl &url);
