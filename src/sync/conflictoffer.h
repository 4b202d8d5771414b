#pragma once

class Platform;
class Vault;

// Offers, before the main window first shows, to merge the conflict copies that a file-sync program left beside the
// data files. The merge is made only on the user's "Sim"; "Não" leaves everything, and the next start asks again.
// Copies that cannot be read are named and left alone.
namespace ConflictOffer {

void run(Vault& vault, Platform& platform);

} // namespace ConflictOffer
