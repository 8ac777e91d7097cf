# Start-up password prompt and password settings; filled in by their owner.
