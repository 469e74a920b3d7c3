INSERT INTO posts (author, title, slug, body) VALUES (1, 'New', 'new', 'x') RETURNING post_id;
SELECT count(*) FROM posts WHERE tags = '' OR 'howto' = ANY (string_to_array(tags, ','));
