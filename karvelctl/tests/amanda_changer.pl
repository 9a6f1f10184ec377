#!/usr/bin/perl
# SPDX-License-Identifier: MIT
# Drives Amanda's own changer (Amanda::Changer::robot, chg-robot, from the unpacked
# amanda-server and amanda-common packages) for the tests, without Amanda's configuration
# directories or daemons: writes DIR/amanda.conf naming a chg-robot on DEVICE with MTX as its
# mtx, reads it, runs each ACTION in turn and prints what the changer answered, one line each.
#
#   amanda_changer.pl DIR DEVICE MTX ACTION...
#   ACTION: inventory | load SLOT | load-eject SLOT | eject DRIVE
#
# The one tape drive is Amanda's null device, so a load needs no tape. Its state file is in DIR.
use strict;
use warnings;

use Amanda::Config qw( :init :getconf );
use Amanda::Changer;
use Amanda::MainLoop;

my ($dir, $device, $mtx, @actions) = @ARGV;
die "usage: amanda_changer.pl DIR DEVICE MTX ACTION...\n" unless defined $mtx && @actions;

open(my $conf, '>', "$dir/amanda.conf") or die "$dir/amanda.conf: $!\n";
print $conf <<"END";
org "karvel"
define changer robot {
    tpchanger "chg-robot:$device"
    property "tape-device" "0=null:"
    property "mtx" "$mtx"
    changerfile "$dir/chg-robot.state"
}
tpchanger "robot"
END
close($conf) or die "$dir/amanda.conf: $!\n";

chdir($dir) or die "$dir: $!\n";
config_init($CONFIG_INIT_EXPLICIT_NAME | $CONFIG_INIT_USE_CWD, ".");
my ($level, @errors) = config_errors();
die "amanda.conf: @errors\n" if $level >= $CFGERR_WARNINGS;

my $changer = Amanda::Changer->new("robot");
die "chg-robot: $changer\n" if $changer->isa("Amanda::Changer::Error");

sub show { my ($value) = @_; return defined $value ? $value : "-"; }

my @queue = @actions;
sub next_action {
    return Amanda::MainLoop::quit() unless @queue;
    my $action = shift @queue;
    if ($action eq 'inventory') {
        $changer->inventory(inventory_cb => sub {
            my ($error, $slots) = @_;
            if ($error) {
                print "inventory: error: $error\n";
            } else {
                for my $slot (@$slots) {
                    my $state = $slot->{'state'} == Amanda::Changer::SLOT_FULL ? "full" : "empty";
                    print "inventory: slot $slot->{slot} $state barcode=", show($slot->{'barcode'}),
                        " loaded_in=", show($slot->{'loaded_in'}),
                        " import_export=", ($slot->{'import_export'} ? 1 : 0), "\n";
                }
            }
            next_action();
        });
    } elsif ($action eq 'load' || $action eq 'load-eject') {
        my $slot = shift @queue;
        $changer->load(slot => $slot, res_cb => sub {
            my ($error, $reservation) = @_;
            if ($error) {
                print "$action $slot: error: $error\n";
                return next_action();
            }
            print "$action $slot: slot $reservation->{this_slot} in drive $reservation->{drive}\n";
            $reservation->release(eject => ($action eq 'load-eject'), finished_cb => sub {
                my ($error) = @_;
                print "$action $slot: released", ($error ? ": error: $error" : ""), "\n";
                next_action();
            });
        });
    } elsif ($action eq 'eject') {
        my $drive = shift @queue;
        $changer->eject(drive => $drive, finished_cb => sub {
            my ($error) = @_;
            print "eject $drive: ", ($error ? "error: $error" : "done"), "\n";
            next_action();
        });
    } else {
        die "amanda_changer.pl: unknown action '$action'\n";
    }
}

Amanda::MainLoop::call_later(\&next_action);
Amanda::MainLoop::run();
$changer->quit();
