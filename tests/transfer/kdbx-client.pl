#!/usr/bin/perl
# A second, independent KeePass client for the tests: Perl's File::KDBX.
#   kdbx-client.pl read FILE < password     one JSON object: the header's key derivation and every entry outside
#                                            the recycle bin, history left out
#   kdbx-client.pl write FILE FORM < input  first line the password, then a JSON array of entries; FORM is
#                                            "4-aes", "4-chacha20" or "3.1" (AES-KDF, Salsa20 inner stream); an
#                                            entry with "bin": 1 goes to the recycle bin, "old" adds a history entry
use strict;
use warnings;
use File::KDBX;
use File::KDBX::Constants qw(:version :cipher :kdf :random_stream);
use JSON::PP;
use Time::Piece;

my ($mode, $path, $form) = @ARGV;
binmode STDIN, ':encoding(UTF-8)';
my $password = <STDIN>;
chomp $password;
my $json = JSON::PP->new->utf8->canonical;

if ($mode eq 'read') {
    my $kdbx = File::KDBX->load_file($path, $password);
    $kdbx->unlock;
    my $bin = $kdbx->recycle_bin_enabled ? $kdbx->recycle_bin_uuid : undef;
    my @entries;
    $kdbx->entries->each(sub {
        my $entry = $_;
        return if defined $bin && grep { $_->uuid eq $bin } @{$entry->lineage};
        push @entries, {
            title => $entry->title, username => $entry->username, password => $entry->password,
            url => $entry->url, notes => $entry->notes,
            modified => $entry->last_modification_time->epoch,
            expiry => $entry->expires ? $entry->expiry_time->epoch : undef,
        };
    });
    my $kdf = $kdbx->kdf_parameters;
    print $json->encode({
        version => sprintf('%x', $kdbx->version),
        kdf => unpack('H*', $kdf->{KDF_PARAM_UUID()}),
        memory => $kdf->{KDF_PARAM_ARGON2_MEMORY()},
        iterations => $kdf->{KDF_PARAM_ARGON2_ITERATIONS()},
        cipher => unpack('H*', $kdbx->cipher_id),
        entries => \@entries,
    }), "\n";
    exit 0;
}

my $entries = JSON::PP->new->decode(do { local $/; <STDIN> });
my $kdbx = File::KDBX->new;
for my $given (@$entries) {
    my %fields = map { $_ => $given->{$_} } grep { exists $given->{$_} } qw(title username password url notes);
    my $entry = $kdbx->add_entry(%fields, $given->{old} ? (title => $given->{old}) : ());
    if ($given->{old}) {
        $entry->add_historical_entry($entry->clone(history => 0));
        $entry->title($given->{title});
    }
    $entry->last_modification_time(scalar gmtime($given->{modified})) if defined $given->{modified};
    if (defined $given->{expiry}) {
        $entry->expiry_time(scalar gmtime($given->{expiry}));
        $entry->expires(1);
    }
    $kdbx->recycle_bin->add_entry($entry) if $given->{bin};
}
if ($form eq '3.1') {
    $kdbx->version(KDBX_VERSION_3_1);
    $kdbx->kdf_parameters({KDF_PARAM_UUID() => KDF_UUID_AES, KDF_PARAM_AES_ROUNDS() => 6000,
                           KDF_PARAM_AES_SEED() => pack('C*', map { int rand 256 } 1 .. 32)});
    $kdbx->inner_random_stream_id(STREAM_ID_SALSA20);
} else {
    $kdbx->version(KDBX_VERSION_4_0);
    $kdbx->cipher_id($form eq '4-chacha20' ? CIPHER_UUID_CHACHA20 : CIPHER_UUID_AES256);
    $kdbx->kdf_parameters({KDF_PARAM_UUID() => KDF_UUID_ARGON2ID, KDF_PARAM_ARGON2_MEMORY() => 1 << 20,
                           KDF_PARAM_ARGON2_ITERATIONS() => 2, KDF_PARAM_ARGON2_PARALLELISM() => 1,
                           KDF_PARAM_ARGON2_VERSION() => 0x13,
                           KDF_PARAM_ARGON2_SALT() => pack('C*', map { int rand 256 } 1 .. 32)});
}
$kdbx->dump_file($path, $password);
